#include "gui/searchwindow/suchform.h"

#include "support/guicontext.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

// Not a check: renders the search window with a database in the view for the README.
// scripts/screenshot-search.sh runs it with VESPIRA_SCREENSHOT set to the PNG to write.
TEST(SuchFormScreenshot, RendersTheSearchWindowWithADatabaseInTheView)
{
    const QString out = qEnvironmentVariable("VESPIRA_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "VESPIRA_SCREENSHOT names no PNG file";

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    test::TestContext t;
    t.context.state.catalog.searchTimeDatabase = u"Beispiel"_s;
    t.context.state.catalog.selectedDatabase = u"Beispiel"_s;
    const char *documents[][2] = {
        {"Z:\\home\\anna\\garten\\hochbeet.htm",
         "Das Hochbeet im Garten\r\nEin Hochbeet wärmt sich im Frühjahr schneller auf als der Boden.\r\n"
         "Unten liegen Äste und Zweige, darüber Laub, Kompost und zuletzt gute Erde.\r\n"
         "Salat, Radieschen und Kohlrabi gedeihen darin schon im April.\r\n"},
        {"Z:\\home\\anna\\kueche\\apfelkuchen.htm",
         "Apfelkuchen vom Blech\r\nZutaten: 250 g Mehl, 125 g Butter, 100 g Zucker, 1 Ei, 1 kg Äpfel.\r\n"
         "Den Teig ausrollen, die Äpfel in Spalten schneiden und dicht auflegen.\r\n"
         "Bei 180 °C etwa 40 Minuten backen und lauwarm mit Sahne servieren.\r\n"},
        {"Z:\\home\\anna\\reisen\\ostsee.htm",
         "Eine Woche an der Ostsee\r\nVon Warnemünde fährt die Fähre jeden Morgen nach Gedser.\r\n"
         "Am Strand von Kühlungsborn stehen über 2.000 Strandkörbe.\r\n"
         "Die Seebrücke ist 240 Meter lang und abends beleuchtet.\r\n"},
        {"Z:\\home\\anna\\technik\\fahrrad.htm",
         "Das Fahrrad im Winter pflegen\r\nKette reinigen und ölen, Reifendruck prüfen, Licht testen.\r\n"
         "Streusalz greift Felgen und Speichen an: nach jeder Fahrt abspülen.\r\n"},
    };
    QByteArray text;
    QByteArray titles;
    for (int round = 0; round < 6; ++round) {
        for (const auto &doc : documents) {
            titles += QByteArray::number(text.size()) + " #" + doc[0] + "\r\n";
            text += QByteArray("#") + doc[0] + "\r\n" + doc[1] + "\r\n";
        }
    }
    t.folder.write(u"Datenbank/Beispiel.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\home\\anna\\|.htm\r\n");
    t.folder.write(u"Datenbank/Beispiel_UTF8Dokument.txt"_s, text);
    t.folder.write(u"Datenbank/Beispiel_Utf8_TitelPositionen.txt"_s, titles);
    t.settings.values.insert(u"SWeite"_s, u"1180"_s);
    t.settings.values.insert(u"SHoehe"_s, u"640"_s);
    t.settings.values.insert(u"Lesezeichen_Utf8_Beispiel"_s, QString::number(text.indexOf("Apfelkuchen vom")));

    gui::TSuchForm form(t.context);
    form.show();
    QApplication::processEvents();
    form.UTF8LadenButtonClick();
    form.TntEdit2->setText(u"Apfelkuchen"_s);
    QApplication::processEvents();
    form.ZeigDieTitelAn();
    QApplication::processEvents();
    ASSERT_TRUE(form.grab().save(out, "PNG"));
    QLocale::setDefault(QLocale::c());
}
