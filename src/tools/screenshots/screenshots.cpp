#include "gui/app/databasedialog.h"
#include "gui/app/mainform.h"
#include "gui/app/program.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/suchform.h"

#include "producer/progresstext.h"
#include "support/guicontext.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;

// Not checks: these render the windows for the README and the manual. scripts/screenshots.sh
// runs them with VESPIRA_SCREENSHOTS naming the folder the PNG files go to; without it they
// are skipped.

namespace {

// The program's three windows over a program folder with a few databases, one of them with
// text to show, and the shipped address file.
class Screenshots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = qEnvironmentVariable("VESPIRA_SCREENSHOTS");
        if (m_folder.isEmpty())
            GTEST_SKIP() << "VESPIRA_SCREENSHOTS names no folder";
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        writeDatabases();
        QFile::copy(QStringLiteral(VESPIRA_RESOURCES_DIR "/Adressen_Webseiten.txt"),
                    t.folder.file(u"Adressen_Webseiten.txt"_s));
        t.settings.values.insert(u"Ausgewaehlte_Datenbank"_s, u"1"_s);
        t.settings.values.insert(u"Weite"_s, u"760"_s);
        t.settings.values.insert(u"Hoehe"_s, u"460"_s);
        t.settings.values.insert(u"SWeite"_s, u"1180"_s);
        t.settings.values.insert(u"SHoehe"_s, u"640"_s);
        t.system.browsers = {{u"Firefox ESR"_s, {}}, {u"Google Chrome"_s, {}}};
        // Set before the settings dialog's browser detection reads it, as on every start
        // but the very first.
        t.settings.values.insert(u"Browser"_s, u"standard"_s);

        program = std::make_unique<gui::Program>(t.context);
        main = &program->mainWindow();
        einstell = &program->settingsDialog();
        such = &program->searchWindow();
        main->show();
        settle();
    }

    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    // The search window as "Suchen" shows it (without its modal loop), with the sample
    // database's UTF-8 text in the view at the bookmark.
    void showSearchWindowWithText()
    {
        t.context.state.catalog.searchTimeDatabase = u"Beispiel"_s;
        such->show();
        settle();
        such->UTF8LadenButtonClick();
        such->TntEdit2->setText(u"Apfelkuchen"_s);
        settle();
        such->ZeigDieTitelAn();
        settle();
    }

    void save(QWidget *window, const QString &name)
    {
        settle();
        const QString path = m_folder + u'/' + name;
        ASSERT_TRUE(window->grab().save(path, "PNG")) << path.toStdString();
    }

    test::TestContext t;
    std::unique_ptr<gui::Program> program;
    gui::TMainForm_Vespira_HTML *main = nullptr;
    gui::TEinstellform *einstell = nullptr;
    gui::TSuchForm *such = nullptr;

private:
    void writeDatabases()
    {
        for (const char *name : {"Archiv 2019", "Notizen", "Rezepte", "Reiseberichte"})
            t.folder.write(u"Datenbank/"_s + QString::fromUtf8(name) + u".dat"_s, "PFAD_UND_ENDUNGEN=Z:\\home\\anna\\\r\n");
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
        t.settings.values.insert(u"Lesezeichen_Utf8_Beispiel"_s, QString::number(text.indexOf("Apfelkuchen vom")));
    }

    QString m_folder;
};

} // namespace

TEST_F(Screenshots, MainWindowWithDatabases)
{
    save(main, u"main-window.png"_s);
}

TEST_F(Screenshots, SearchWindowWithADatabaseInTheView)
{
    showSearchWindowWithText();
    save(such, u"search-window.png"_s);
}

TEST_F(Screenshots, SearchWindowWithTheSearchOptions)
{
    t.settings.values.insert(u"Alle_Woerter_suchen"_s, u"1"_s);
    t.settings.values.insert(u"Umlaute_gleichwertig"_s, u"1"_s);
    t.settings.values.insert(u"Fundstellen_zaehlen"_s, u"1"_s);
    showSearchWindowWithText();
    such->TntEdit2->setText(u"Äpfel Zucker"_s);
    save(such, u"search-options.png"_s);
}

TEST_F(Screenshots, SettingsDialog)
{
    // Opened from the search window, where the font-size and sort buttons work.
    showSearchWindowWithText();
    einstell->show();
    einstell->FormPaint();
    save(einstell, u"settings.png"_s);
}

TEST_F(Screenshots, SearchWindowWithTheWebPanel)
{
    t.settings.values.insert(u"Themen-Webseite"_s, u"3"_s);
    t.settings.values.insert(u"Ausgewaehlte_Webseite"_s, u"0"_s);
    showSearchWindowWithText();
    such->SuchImInternetBtn->click();
    save(such, u"web-panel.png"_s);
}

TEST_F(Screenshots, DatabaseWindowDuringABuild)
{
    test::ScriptedFolderChooser chooser;
    gui::TDatenbankForm form(t.context, chooser, main);
    form.showModal = [&]() -> int {
        form.show();
        form.NameEdit->setText(u"Kochbuch"_s);
        form.OrdnerListe->addItems({u"/srv/texte/Rezepte"_s, u"/srv/texte/Mail/Rezepte"_s});
        form.MhtCheckBox->setChecked(false);
        // As a build shows itself a few seconds in.
        producer::IndexProgress progress;
        progress.filesDone = 412;
        progress.filesTotal = 980;
        progress.bytesDone = 41'800'000;
        progress.bytesTotal = 97'300'000;
        form.ProgressBar1->setRange(0, 1000);
        form.ProgressBar1->setValue(int(progress.filesDone * 1000 / progress.filesTotal));
        form.FortschrittLabel->setText(producer::progressText(progress, 2950));
        form.NameEdit->setReadOnly(true);
        for (QWidget *control : std::initializer_list<QWidget *> {form.OrdnerListe, form.OrdnerHinzuBtn,
                                                                  form.OrdnerEntfernenBtn, form.HtmlCheckBox,
                                                                  form.MhtCheckBox, form.EmlCheckBox, form.ErstellenBtn})
            control->setEnabled(false);
        save(&form, u"database-window.png"_s);
        return QDialog::Rejected;
    };
    form.NeueDatenbank();
}
