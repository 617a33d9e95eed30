// The three windows wired together as the program wires them, driven through their own
// buttons: what one window does to another only shows here.

#include "core/searchwindow/findinviewer.h"
#include "gui/app/mainform.h"
#include "gui/app/program.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/suchform.h"
#include "gui/searchwindow/textviewer.h"

#include "core/search/searchfixture.h"
#include "support/guicontext.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

namespace {

class ProgramWindowsTest : public ::testing::Test
{
protected:
    ProgramWindowsTest()
    {
        t.folder.write(u"Datenbank/Archiv.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\doc\\;htm\r\n");
    }

    // One document per block, each holding the search word, in the UTF-8 collected file.
    void writeDocuments(int count)
    {
        std::vector<test::FixtureDocument> docs;
        for (int i = 0; i < count; ++i)
            docs.push_back(
                {u"Z:\\doc\\d%1.htm"_s.arg(i), u"Ein Haus am See, Zeile eins\r\nnoch etwas Text ohne Treffer"_s});
        test::writeCollected(t.folder, u"Archiv"_s, docs, false);
    }

    void searchFor(const QString &text)
    {
        t.context.state.catalog.searchTimeDatabase = u"Archiv"_s;
        such->TntEdit2->setText(text);
        such->OKBtnClick();
    }

    // Opens the settings dialog from the search window's tool bar; act runs inside it.
    void inSettingsDialog(const std::function<void()> &act)
    {
        QTimer::singleShot(0, einstell, act);
        QTest::mouseClick(such->SpeedButton2, Qt::LeftButton);
    }

    // A search window that stays open by mistake fails the test instead of hanging it.
    void closeIfStillOpen()
    {
        QTimer::singleShot(5000, such, [this] {
            if (such->isVisible()) {
                ADD_FAILURE() << "the search window stayed open";
                such->done(QDialog::Rejected);
            }
        });
    }

    test::TestContext t;
    gui::Program program {t.context};
    gui::TMainForm_Vespira_HTML &main = program.mainWindow();
    gui::TEinstellform *einstell = &program.settingsDialog();
    gui::TSuchForm *such = &program.searchWindow();
};

} // namespace

TEST_F(ProgramWindowsTest, AbbrechenAndEscapeEndARunningSearchWithoutPagesOrBrowser)
{
    writeDocuments(20000); // about 1.6 MB, seconds of searching: the cancel comes early in it
    main.FormPaint();
    ASSERT_EQ(t.context.state.catalog.selectedDatabase, u"Archiv"_s);

    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Esc" : "Abbrechen");
        int pumpsWhileSearching = 0;
        bool cancelled = false;
        QTimer watcher;
        watcher.setInterval(1);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (such->windowTitle() != u"Suche läuft..."_s || cancelled)
                return;
            if (++pumpsWhileSearching < 3)
                return; // let the scan get well under way
            EXPECT_TRUE(such->CancelBtn->isEnabled());
            for (QWidget *second : {static_cast<QWidget *>(such->OKBtn), static_cast<QWidget *>(such->UTF8LadenButton),
                                    static_cast<QWidget *>(such->SpeedButton2), static_cast<QWidget *>(such->WeiterSuche)})
                EXPECT_FALSE(second->isEnabled()) << second->objectName().toStdString();
            cancelled = true;
            if (byEscape) {
                QWidget *focused = QApplication::focusWidget();
                QTest::keyClick(focused && focused->window() == such ? focused : such, Qt::Key_Escape);
            } else {
                QTest::mouseClick(such->CancelBtn, Qt::LeftButton);
            }
        });
        watcher.start();
        QTimer::singleShot(0, such, [&] {
            such->TntEdit2->setText(u"Haus"_s);
            QTest::mouseClick(such->OKBtn, Qt::LeftButton);
        });
        main.SuchenBtnClick(); // shows the search window modally
        watcher.stop();

        ASSERT_TRUE(cancelled) << "the run ended before it could be cancelled";
        // No time bound: a run that ignored the cancel would have written its page.
        EXPECT_FALSE(t.folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
        EXPECT_TRUE(t.shell.opened.isEmpty());
        EXPECT_TRUE(t.shell.started.isEmpty());
        EXPECT_FALSE(such->isVisible());
        // The controls are as before the run.
        EXPECT_TRUE(such->UTF8LadenButton->isEnabled());
        EXPECT_FALSE(such->ZeilenAlsListeSortieren->isEnabled());
        EXPECT_TRUE(such->SpeedButton2->isEnabled());
        EXPECT_FALSE(t.context.state.run.cancel.isRequested());
    }
}

TEST_F(ProgramWindowsTest, ClipboardFollowsTheSettingsCheckBox)
{
    writeDocuments(3);
    main.FormPaint();
    // Unticked, then "&Abbruch": the box stays unticked although "1" is still stored.
    t.settings.values.insert(u"Suchwort_in_Zwischenablage_kopieren"_s, u"1"_s);
    such->show();
    inSettingsDialog([this] {
        einstell->SuchtextInClipbrdCheckBox->setChecked(false);
        QTest::mouseClick(einstell->AbbruchButton, Qt::LeftButton);
    });
    EXPECT_EQ(t.settings.values.value(u"Suchwort_in_Zwischenablage_kopieren"_s), u"1"_s);
    searchFor(u"Haus"_s);
    EXPECT_TRUE(t.clipboard.text().isEmpty());
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
}

TEST_F(ProgramWindowsTest, SearchFromTheSearchWindowWritesThePageOpensItAndRemembersTheText)
{
    writeDocuments(30);
    main.FormPaint();
    QTimer::singleShot(0, such, [this] {
        QTest::keyClicks(such->TntEdit2, u"Haus"_s);
        QTest::mouseClick(such->OKBtn, Qt::LeftButton);
    });
    main.SuchenBtnClick();

    EXPECT_FALSE(such->isVisible());
    EXPECT_EQ(such->result(), QDialog::Accepted);
    EXPECT_TRUE(t.folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    EXPECT_TRUE(t.folder.exists(u"Datenbank/Temp/Vespira_Ergebnis2.htm"_s)); // 30 hits, 25 a page
    EXPECT_EQ(t.shell.opened, QStringList {t.folder.file(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s)});
    EXPECT_EQ(main.Label1->text(), u"Fertig mit der Suche."_s);
    EXPECT_FALSE(main.GedultTimer->isActive());
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
    EXPECT_EQ(such->searchTexts(), QStringList {u"Haus"_s});
    EXPECT_EQ(t.clipboard.text(), u"Haus"_s); // no stored value: the settings box keeps its designed tick
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
}

TEST_F(ProgramWindowsTest, ACloseRequestWhileTheSearchWindowIsOpenClosesBothAfterYes)
{
    main.FormPaint();
    main.show();
    t.folder.write(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s, "x");

    // No: the search window stays open until it is left as usual.
    t.dialogs.answer(false);
    QTimer::singleShot(0, such, [this] {
        main.ApplicationEvents1Message(5735, 99);
        EXPECT_TRUE(such->isVisible());
        such->CancelBtnClick();
    });
    main.SuchenBtnClick();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(t.context.state.run.cancel.isRequested()) << "no run to cancel";

    // Yes: the search window closes, and the main window once the handler has unwound,
    // without asking a second time.
    t.dialogs.answer(true);
    QTimer::singleShot(0, such, [this] { main.ApplicationEvents1Message(5735, 99); });
    closeIfStillOpen();
    main.SuchenBtnClick();
    EXPECT_FALSE(such->isVisible());
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
    EXPECT_TRUE(main.isVisible());
    QTest::qWait(0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(t.dialogs.texts(), (QStringList {u"Vespira-HTML wirklich schließen?"_s, u"Vespira-HTML wirklich schließen?"_s}));
    EXPECT_FALSE(t.folder.exists(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    EXPECT_EQ(t.settings.values.value(u"Ausgewaehlte_Datenbank"_s), u"0"_s);
}

TEST_F(ProgramWindowsTest, FindNextSelectsEachHitInTheViewAndSaysWhenThereIsNone)
{
    writeDocuments(3);
    t.context.state.catalog.searchTimeDatabase = u"Archiv"_s;
    such->show();
    such->UTF8LadenButtonClick();
    such->TntEdit1->setText(u"Treffer"_s);
    QTest::mouseClick(such->WeiterSuche, Qt::LeftButton);
    EXPECT_EQ(such->ViewerMemo->textCursor().selectedText(), u"Treffer"_s);
    // Each block is 75 bytes; "Treffer" ends its third line.
    EXPECT_EQ(such->Viewer->selectionStart(), 66);
    QTest::mouseClick(such->WeiterSuche, Qt::LeftButton);
    EXPECT_EQ(such->ViewerMemo->textCursor().selectedText(), u"Treffer"_s);
    EXPECT_EQ(such->Viewer->selectionStart(), 66 + 75);
    EXPECT_TRUE(t.dialogs.shown.isEmpty());

    such->TntEdit1->setText(u"Zebra"_s);
    QTest::keyClick(such->TntEdit1, Qt::Key_Return);
    EXPECT_EQ(t.dialogs.texts(), QStringList {QString::fromUtf16(searchwindow::kNichtGefunden)});
}

// The run loads the last kind again, which goes back to the kind's bookmark; the memo
// selection stays on its text when the first line is the same, else moves one line down.
TEST_F(ProgramWindowsTest, AfterASearchTheViewIsLoadedAgainAtTheBookmarkWithTheSelection)
{
    writeDocuments(3);
    main.FormPaint();
    t.settings.values.insert(u"Lesezeichen_Utf8_Archiv"_s, u"75"_s); // the second block
    t.context.state.catalog.searchTimeDatabase = u"Archiv"_s;
    such->show();
    such->UTF8LadenButtonClick();
    ASSERT_EQ(t.context.state.view.viewPosition, 75);
    such->Viewer->scrollToOffset(0);
    such->Viewer->repaint();
    ASSERT_EQ(such->ViewerMemo->document()->firstBlock().text(), u"#Z:\\doc\\d0.htm"_s);
    QTextCursor cursor(such->ViewerMemo->document());
    cursor.setPosition(19);
    cursor.setPosition(23, QTextCursor::KeepAnchor);
    such->ViewerMemo->setTextCursor(cursor);
    ASSERT_EQ(cursor.selectedText(), u"Haus"_s);

    searchFor(u"Zeile"_s);

    EXPECT_EQ(t.context.state.view.activeKind, app::DocumentKind::Utf8);
    EXPECT_EQ(t.context.state.view.viewPosition, 75);
    EXPECT_EQ(such->ViewerMemo->document()->firstBlock().text(), u"#Z:\\doc\\d1.htm"_s);
    EXPECT_EQ(such->ViewerMemo->textCursor().selectionStart(), 34);
    EXPECT_EQ(such->ViewerMemo->textCursor().selectedText(), u"ile "_s);
    EXPECT_EQ(such->Label8->text(), u"UTF8-DB: \"Archiv\"  Position: "_s);
}
