#include "gui/app/mainform.h"
#include "gui/app/databaselist.h"
#include "gui/app/program.h"
#include "gui/common/machpause.h"
#include "gui/searchwindow/suchform.h"

#include "support/guicontext.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Windows
{
    explicit Windows(test::TestContext &t)
        : program(t.context)
    {
    }
    gui::Program program;
    gui::TMainForm_Vespira_HTML &main = program.mainWindow();
    gui::TSuchForm *such = &program.searchWindow();
};

void addDatabases(test::TestContext &t, const QStringList &names)
{
    for (const QString &n : names)
        t.folder.write(u"Datenbank/"_s + n + u".dat"_s, "Z\r\n");
}

} // namespace

// The usual title is checked where the settings cannot be written.
TEST(MainForm, FirstStartOpensAtDesignedSizesAndSaysWhenStartedAsAdministrator)
{
    test::TestContext t;
    t.system.administrator = true;
    Windows w(t);
    w.main.FormPaint();
    EXPECT_EQ(w.main.size(), QSize(700, 420));
    EXPECT_EQ(w.such->ViewerMemo->font().pointSize(), 10);
    EXPECT_EQ(w.main.BitBtn2->text(), u"Schli&eßen"_s);
    EXPECT_EQ(w.main.windowTitle(), u"Vespira-HTML-Dodad - Mit Administratorberechtigung gestartet."_s);
    EXPECT_EQ(w.main.SpeedButton3->text(), u"  Vespira-HTML-Dodad 4.0"_s);
}

TEST(MainForm, ResizeSnapsToTheMinimumAndKeepsButtonsRight)
{
    test::TestContext t;
    Windows w(t);
    w.main.resize(500, 300);
    EXPECT_EQ(w.main.size(), QSize(700, 420));
    w.main.resize(900, 500);
    w.main.FormResize();
    EXPECT_EQ(w.main.ToolButton1->width(), 573); // the spacer pushes the buttons to the right edge
}

TEST(MainForm, RestoresSelectionAndClicksIt)
{
    test::TestContext t;
    addDatabases(t, {u"Archiv"_s, u"Briefe"_s, u"Notizen"_s});
    t.settings.values.insert(u"Ausgewaehlte_Datenbank"_s, u"3"_s); // one past the end
    Windows w(t);
    w.main.FormPaint();
    ASSERT_EQ(w.main.ListBox1->count(), 3);
    EXPECT_EQ(w.main.ListBox1->selectedIndex(), 0);
    EXPECT_EQ(t.context.state.catalog.selectedDatabase, u"Archiv"_s);
    EXPECT_EQ(t.settings.values.value(u"Ausgewaehlte_Datenbank"_s), u"0"_s); // the click wrote it
}

// Emptying Temp and the selection written back are checked with the search window open.
TEST(MainForm, CloseAsksAndWritesTheSearchWindowsState)
{
    test::TestContext t;
    addDatabases(t, {u"Archiv"_s, u"Briefe"_s});
    Windows w(t);
    w.main.FormPaint();
    w.such->setWindowState(Qt::WindowMaximized);
    t.settings.values.insert(u"SHoehe"_s, u"555"_s);
    t.dialogs.answer(false);
    EXPECT_FALSE(w.main.close());
    EXPECT_EQ(t.dialogs.texts().last(), u"Vespira-HTML wirklich schließen?"_s);
    t.dialogs.answer(true);
    EXPECT_TRUE(w.main.close());
    EXPECT_EQ(t.settings.values.value(u"SHoehe"_s), u"555"_s); // maximised: unchanged
    EXPECT_EQ(t.settings.values.value(u"SchriftsizeTextViewer"_s), u"10"_s);
}

TEST(MainForm, CloseRequestNinetyNineAsksNinetyEightIsIgnored)
{
    test::TestContext t;
    Windows w(t);
    w.main.show();
    w.main.ApplicationEvents1Message(5735, 98);
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
    t.dialogs.answer(false);
    w.main.ApplicationEvents1Message(5735, 99);
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].text, u"Vespira-HTML wirklich schließen?"_s);
    EXPECT_TRUE(w.main.isVisible());
}

TEST(MainForm, DeletionYesNoAndTheLastDatabase)
{
    test::TestContext t;
    addDatabases(t, {u"Archiv"_s, u"Briefe"_s});
    Windows w(t);
    w.main.FormPaint();
    w.main.ListBox1->selectQuietly(1);

    t.dialogs.answer(false);
    w.main.Datenbankloeschen1Click();
    EXPECT_EQ(t.dialogs.texts().last(), u"Möchten Sie die Datenbank \"Briefe\" wirklich löschen?"_s);
    EXPECT_EQ(w.main.ListBox1->count(), 2);
    EXPECT_EQ(w.main.ListBox1->selectedIndex(), 0); // No still moves to the first entry

    w.main.ListBox1->selectQuietly(1);
    t.dialogs.answer(true);
    w.main.Datenbankloeschen1Click();
    EXPECT_FALSE(t.folder.exists(u"Datenbank/Briefe.dat"_s)); // which files go is the catalog's test
    EXPECT_EQ(t.context.state.catalog.searchTimeDatabase, u"Briefe"_s);

    t.dialogs.answer(true);
    w.main.Datenbankloeschen1Click();
    EXPECT_EQ(w.main.ListBox1->count(), 0);
    w.main.SuchenBtnClick();
    EXPECT_EQ(t.dialogs.texts().last(), u"Es existiert noch keine Datenbank! "_s);
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
}

// A search that runs is checked with the real windows wired together.
TEST(MainForm, SearchButtonHandlesCancelAndEmptyText)
{
    test::TestContext t;
    addDatabases(t, {u"Archiv"_s});
    Windows w(t);
    w.main.FormPaint();

    w.main.showSearchWindow = [] { return int(QDialog::Rejected); };
    w.main.SuchenBtnClick();
    EXPECT_FALSE(t.context.state.catalog.runInProgress); // the close button works at once
    EXPECT_TRUE(t.dialogs.shown.isEmpty());

    w.main.showSearchWindow = [&] {
        w.such->TntEdit2->setText(u"  "_s);
        return int(QDialog::Accepted);
    };
    w.main.SuchenBtnClick();
    EXPECT_EQ(t.dialogs.texts().last(), u"Sie haben keinen Suchtext eingegeben!"_s);
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
}

TEST(MainForm, UnwritableSettingsAreReportedOnceAndTheProgramStaysUsable)
{
    test::TestContext t;
    addDatabases(t, {u"Archiv"_s, u"Briefe"_s});
    t.folder.write(u"Datenbank/Suchwoerterlisten/Briefe_Gesamt_OhneDB_Suchwoerterliste.txt"_s,
                   QByteArray("\xFF\xFER\0e\0c\0h\0n\0u\0n\0g\0\r\0\n\0", 20));
    QDir(t.folder.file(u"Datenbank/Temp"_s)).removeRecursively();
    t.settings.failWrites = true; // first start: every write of the first-start values fails
    Windows w(t);
    w.main.FormPaint();

    EXPECT_TRUE(QFileInfo(t.folder.file(u"Datenbank/Temp"_s)).isDir());
    EXPECT_EQ(w.main.ListBox1->count(), 2);
    EXPECT_EQ(w.main.windowTitle(), u"  Vespira-HTML-Dodad -  Die Suchmaschine für HTML-Dokumente."_s);
    EXPECT_EQ(w.main.size(), QSize(900, 506)); // the values for missing settings
    EXPECT_EQ(t.context.state.browser, u"standard"_s);

    w.main.ListBox1->selectQuietly(1);
    w.main.ListBox1Click();
    EXPECT_EQ(t.context.state.catalog.selectedDatabase, u"Briefe"_s);
    EXPECT_EQ(w.such->searchTexts(), QStringList {u"Rechnung"_s});

    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].kind, u"error"_s);
    EXPECT_EQ(t.dialogs.shown[0].text, u"Die Einstellungen können nicht gespeichert werden."_s);
    EXPECT_TRUE(t.settings.values.isEmpty());
}

TEST(MainForm, BusyIndicatorContinuesAcrossStopAndStart)
{
    test::TestContext t;
    Windows w(t);
    w.main.GedultTimer->start();
    for (int i = 0; i < 3; ++i)
        w.main.GedultTimerTimer();
    EXPECT_EQ(w.main.GeduldLabel->text(), u"° ° °"_s);
    w.main.GedultTimer->stop();
    w.main.GedultTimer->start();
    w.main.GedultTimerTimer();
    EXPECT_EQ(w.main.GeduldLabel->text(), u"° ° ° °"_s);
}

// The pause is checked by what its timer does, never by the wall clock: on a loaded machine
// any bound on the elapsed time fails now and then.
TEST(MachPause, PauseMsChangesTheIntervalForLaterPauses)
{
    gui::TMachPause pause;
    auto *timer = pause.findChild<QTimer *>();
    ASSERT_NE(timer, nullptr);
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
    EXPECT_EQ(pause.Interval(), 1000);
    pause.PauseMs(30);
    EXPECT_EQ(pause.Interval(), 30);
    EXPECT_EQ(timer->interval(), 30);
    EXPECT_EQ(ticks, 1); // the pause ended at its own tick
    EXPECT_FALSE(timer->isActive());
    pause.Pause();
    EXPECT_EQ(timer->interval(), 30);
    EXPECT_EQ(ticks, 2);
    pause.PauseMs(-5); // never waits forever
    EXPECT_EQ(pause.Interval(), -5);
    EXPECT_EQ(timer->interval(), 0);
    EXPECT_EQ(ticks, 3);
}

TEST(MachPause, HandlesAClickAndANestedPauseEndsAtTheSameTick)
{
    gui::TMachPause pause;
    auto *timer = pause.findChild<QTimer *>();
    ASSERT_NE(timer, nullptr);
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
    QPushButton button;
    int ticksBeforeNested = -1;
    int ticksAfterNested = -1;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ticksBeforeNested = ticks;
        pause.Pause(); // nested: shares the outer pause's tick
        ticksAfterNested = ticks;
    });
    // Queued before the pause starts, so it is handled inside the pause, before any tick.
    QTimer::singleShot(0, &button, &QPushButton::click);
    pause.PauseMs(200);
    EXPECT_EQ(ticksBeforeNested, 0);
    EXPECT_EQ(ticksAfterNested, 1);
    EXPECT_EQ(ticks, 1); // the outer pause ended at the nested one's tick, not a later one
}
