#include "gui/app/program.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/sortpanel.h"
#include "gui/searchwindow/suchform.h"
#include "gui/searchwindow/textviewer.h"

#include "support/guicontext.h"
#include "support/textdata.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using gui::TSuchForm;

namespace {

const QString CancelCaption = u"Abbruch durch Benutzer! Bitte Geduld! Ich höre gleich auf!"_s;

// The search window over a database "Archiv" whose one document lies in the temporary
// program folder, named by its Z: path; the window has had its first paint, as it has
// before the settings dialog can open the panel.
class SortPanelTest : public ::testing::Test
{
protected:
    SortPanelTest()
    {
        t.context.state.catalog.searchTimeDatabase = u"Archiv"_s;
        t.context.state.catalog.selectedDatabase = u"Archiv"_s;
        t.folder.write(u"docs/a.htm"_s, "a");
        t.folder.write(u"Datenbank/Archiv.dat"_s, (u"PFAD_UND_ENDUNGEN=Z:\\ .htm\r\n"_s + doc() + u"\r\n"_s).toUtf8());
        panel().pauseAfterListMs = 0;
        form.TntEdit2->setText(u"Haus"_s);
        form.FormPaint();
    }

    gui::SortPanel &panel() { return *form.sortPanel; }
    QString doc() const { return u"Z:"_s + t.folder.file(u"docs/a.htm"_s).replace(u'/', u'\\'); }
    void writeUtf8(const QString &text) { t.folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, text.toUtf8()); }
    void writeMht(const QString &text) { t.folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, test::utf16le(text)); }
    QString list(const char16_t *suffix) const { return u"Datenbank/Archiv_Phrasen_Woerter_"_s + QString::fromUtf16(suffix); }

    // The controls a build locks, in the order of their names.
    QList<QWidget *> lockedControls()
    {
        return {form.ZeilenAlsListeSortieren, form.AnsiLadenButton, form.UTF8LadenButton, form.UnicodeLadenButton,
                form.TntEdit2, form.GrossKleinBeachten, form.NurGanzeWoerterCheckBox, form.TntEdit1,
                form.SpeedButton2, form.CancelBtn, form.WeiterSuche, form.OKBtn,
                panel().SortierteListenErstellenButton, panel().nurWoerterButton, panel().nurSaetzeButton,
                panel().WoerterUndSaetzeButton};
    }
    QList<bool> enabledStates()
    {
        QList<bool> states;
        for (const QWidget *w : lockedControls())
            states << w->isEnabled();
        return states;
    }

    test::TestContext t;
    TSuchForm form {t.context};
};

} // namespace

TEST(SortPanelOpening, SettingsButtonOpensThePanelOfTheSearchWindowAfterYes)
{
    test::TestContext t;
    gui::Program program(t.context);
    gui::TEinstellform *settings = &program.settingsDialog();
    TSuchForm *search = &program.searchWindow();
    search->Panel2->show();
    t.context.state.catalog.searchTimeDatabase = u"Akten"_s;
    t.context.state.sort.sortCancel.request();

    t.dialogs.answer(false);
    settings->SortierungAnzeigenBitBtnClick();
    EXPECT_TRUE(search->sortPanel->isHidden());
    EXPECT_FALSE(search->Panel2->isHidden());
    EXPECT_TRUE(t.context.state.sort.sortCancel.isRequested());

    t.dialogs.answer(true);
    settings->SortierungAnzeigenBitBtnClick();
    EXPECT_FALSE(search->sortPanel->isHidden());
    EXPECT_TRUE(search->Panel2->isHidden());
    EXPECT_FALSE(t.context.state.sort.sortCancel.isRequested());
    EXPECT_EQ(settings->result(), QDialog::Accepted);
    const QString question = u"confirm: Möchten Sie die Dokumente von \"Akten\" sortieren?\r\nVorhandene sortierte Listen "
                             u"werden überschrieben! Wenn JA, dann \r\nklicken Sie anschließend auf den Schalter "
                             u"\"Sortierte Listen erstellen\""_s;
    EXPECT_EQ(t.dialogs.log(), (QStringList {question, question}));
}

TEST_F(SortPanelTest, WithoutCollectedTextTheInformationBoxIsShownAndNothingIsLocked)
{
    t.folder.write(u"Datenbank/Temp/SplitDokument007.txt"_s, "alt");
    t.folder.write(u"Datenbank/Temp/ordner/rest.htm"_s, "alt");
    panel().openPanel();
    const QList<bool> before = enabledStates();

    panel().SortierteListenErstellenButton->click();
    EXPECT_EQ(t.dialogs.log(), QStringList {u"information: Für die Datenbank \"Archiv\" existieren keine Dokumente, "
                                            u"die sortiert werden könnten!"_s});
    EXPECT_TRUE(QDir(t.folder.file(u"Datenbank/Temp"_s)).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
    EXPECT_EQ(enabledStates(), before);
    EXPECT_FALSE(panel().isHidden());
}

TEST_F(SortPanelTest, OnlyTheMhtFileBuildsOnlyTheMhtListWhichTheListButtonShows)
{
    writeMht(u"#"_s + doc() + u"\r\nDas Haus, das Dach; und: ein HAUS\r\n"_s);
    t.context.state.view.activeKind = app::DocumentKind::Mht;
    panel().openPanel();

    panel().SortierteListenErstellenButton->click();
    EXPECT_TRUE(t.dialogs.shown.isEmpty()) << t.dialogs.texts().join(u'|').toStdString();
    EXPECT_FALSE(t.folder.exists(list(u"Utf8Liste.txt")));
    EXPECT_EQ(t.folder.read(list(u"MHTListe.txt")),
              test::utf16le(u"Dach\r\nDas\r\nein\r\nHaus\r\nund\r\n#"_s + doc() + u"\r\n"_s));
    EXPECT_EQ(panel().Label4->text(), u"Fertig"_s);
    EXPECT_TRUE(form.UnicodeLadenButton->isEnabled());
    EXPECT_FALSE(form.UTF8LadenButton->isEnabled());

    // The build leaves the list button as it locked it; enabled, it shows the MHT list.
    EXPECT_FALSE(form.ZeilenAlsListeSortieren->isEnabled());
    form.ZeilenAlsListeSortieren->setEnabled(true);
    form.LesezeichenBtn->show();
    form.TntEdit1->setText(u"Dach"_s); // find-next is possible in the list
    form.ZeilenAlsListeSortieren->click();
    EXPECT_EQ(form.Viewer->fileName(), t.folder.file(list(u"MHTListe.txt")));
    EXPECT_EQ(form.Label8->text(), u"Sortierte MHT-Liste von DB: \"Archiv\""_s);
    EXPECT_TRUE(form.Label2->text().isEmpty());
    EXPECT_TRUE(form.LesezeichenBtn->isHidden());
    EXPECT_TRUE(form.WeiterSuche->isEnabled());
    EXPECT_EQ(form.Viewer->mode(), searchwindow::ViewerMode::vbmodeUnicode);
}

TEST_F(SortPanelTest, CancelDuringABuildKeepsTheEarlierListsAndTheTimerClosesThePanel)
{
    // Big enough that cutting and sorting each outlast several rounds of the event pump
    // (at most one per 25 ms) in an optimised build.
    QString text;
    for (int i = 0; i < 200000; ++i) {
        if (i % 100 == 0)
            text += u"#"_s + doc() + u"\r\n"_s;
        text += u"Wort"_s + QString::number(i) + u" und mehr Text in dieser Zeile\r\n"_s;
    }
    writeUtf8(text);
    writeMht(u"#"_s + doc() + u"\r\nAnderer Text hier\r\n"_s);
    t.folder.write(list(u"Utf8Liste.txt"), "alte Liste\r\n");
    t.folder.write(list(u"MHTListe.txt"), "alte MHT-Liste\r\n");
    panel().openPanel();

    // Watches the build from inside its event handling: once while it cuts, once while it
    // builds the list, where it presses "Abbrechen / Schließen".
    QList<bool> whileCutting;
    QList<bool> whileSorting;
    QString captionAfterCancel;
    bool panelOpenAfterCancel = false;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!panel().isBuilding())
            return;
        form.FormPaint(); // a paint in between must not undo the lock
        if (!t.context.state.sort.sorting) {
            if (whileCutting.isEmpty() && panel().Label4->text().endsWith(u"_UTF8Dokument.txt"_s))
                whileCutting = enabledStates();
            return;
        }
        whileSorting = enabledStates();
        panel().SortAbbrechenButton->click();
        captionAfterCancel = form.windowTitle();
        panelOpenAfterCancel = !panel().isHidden();
        watcher.stop();
    });
    watcher.start();
    panel().SortierteListenErstellenButton->click();
    watcher.stop();

    const QList<bool> allLocked(lockedControls().size(), false);
    // The cutting may pass between two event rounds on a fast machine; when seen, it is locked.
    if (!whileCutting.isEmpty()) {
        EXPECT_EQ(whileCutting, allLocked);
    }
    ASSERT_EQ(whileSorting, allLocked) << "the build ended before the watcher saw it";
    EXPECT_EQ(captionAfterCancel, CancelCaption);
    EXPECT_TRUE(panelOpenAfterCancel);

    EXPECT_EQ(t.folder.read(list(u"Utf8Liste.txt")), "alte Liste\r\n");
    EXPECT_EQ(t.folder.read(list(u"MHTListe.txt")), "alte MHT-Liste\r\n");
    EXPECT_FALSE(t.context.state.sort.sorting);
    EXPECT_TRUE(panel().SortierteListenErstellenButton->isEnabled());
    EXPECT_FALSE(form.ZeilenAlsListeSortieren->isEnabled());
    EXPECT_FALSE(panel().isHidden());

    // The timer finishes the cancel: the panel closes and the web panel comes back.
    ASSERT_TRUE(form.Timer1->isActive());
    panel().Timer1Timer();
    EXPECT_TRUE(panel().isHidden());
    EXPECT_FALSE(form.Panel2->isHidden());
    EXPECT_TRUE(form.UnicodeLadenButton->isEnabled());
}

TEST_F(SortPanelTest, AFailedBuildSaysSoAndUnlocksTheWindow)
{
    writeUtf8(u"#"_s + doc() + u"\r\nDas Haus\r\n"_s);
    QDir().mkpath(t.folder.file(list(u"Utf8Liste.txt"))); // a folder where the list goes
    panel().openPanel();
    panel().SortierteListenErstellenButton->click();
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].kind, u"error"_s);
    EXPECT_TRUE(t.dialogs.shown[0].text.contains(u"kann nicht geschrieben werden"_s));
    EXPECT_TRUE(form.windowTitle().isEmpty()) << form.windowTitle().toStdString();
    EXPECT_EQ(panel().Label4->text(), u"Abgebrochen wegen eines Fehlers"_s);
    EXPECT_TRUE(panel().SortierteListenErstellenButton->isEnabled());
    EXPECT_TRUE(form.TntEdit2->isEnabled());
}

TEST_F(SortPanelTest, ClosingWithoutABuildEnablesTheLoadButtonsWhoseFilesAreLargeEnough)
{
    const struct
    {
        QByteArray ansi, utf8, mht;
        bool ansiOn, utf8On, mhtOn;
    } cases[] = {
        {"ab", "abc", QByteArray("\xFF\xFE" "a\0", 4), false, true, false},
        {"abc", "ab", QByteArray("\xFF\xFE" "ab\0", 5), true, false, true},
    };
    for (const auto &c : cases) {
        t.folder.write(u"Datenbank/Archiv_AnsiDokument.txt"_s, c.ansi);
        t.folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, c.utf8);
        t.folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, c.mht);
        for (QWidget *w : lockedControls())
            w->setEnabled(false);
        panel().openPanel();
        EXPECT_TRUE(form.Panel2->isHidden());

        panel().SortAbbrechenButton->click();
        EXPECT_TRUE(panel().isHidden());
        EXPECT_FALSE(form.Panel2->isHidden());
        // In the order of lockedControls(): all but the list button, OK and the load buttons of
        // files too small.
        const QList<bool> unlocked {false, c.ansiOn, c.utf8On, c.mhtOn, true, true, true, true,
                                    true, true, true, false, true, true, true, true};
        EXPECT_EQ(enabledStates(), unlocked) << c.ansi.size() << c.utf8.size() << c.mht.size();
        EXPECT_EQ(panel().Label4->text(), u"Sortierte Liste von: "_s);
        EXPECT_TRUE(form.windowTitle().isEmpty());
        EXPECT_TRUE(t.context.state.sort.sortCancel.isRequested());
    }
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
}

TEST_F(SortPanelTest, TheSearchWindowsCancelStopsABuildAndHidesThePanel)
{
    QString text;
    for (int i = 0; i < 30000; ++i)
        text += u"Wort"_s + QString::number(i) + u" und mehr\r\n"_s;
    writeUtf8(text);
    t.folder.write(list(u"Utf8Liste.txt"), "alte Liste\r\n");
    panel().openPanel();
    QTimer::singleShot(0, &form, [&] {
        // Esc or the window's close button while the controls are locked.
        static_cast<QDialog &>(form).reject();
    });
    panel().SortierteListenErstellenButton->click();
    EXPECT_EQ(t.folder.read(list(u"Utf8Liste.txt")), "alte Liste\r\n");
    EXPECT_TRUE(t.context.state.sort.sortCancel.isRequested());
    EXPECT_TRUE(panel().isHidden());
    EXPECT_EQ(form.result(), QDialog::Rejected);
}
