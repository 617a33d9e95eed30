// The three windows wired together as the program wires them, driven through their own
// buttons: what one window does to another only shows here.

#include "gui/app/mainform.h"
#include "gui/output/einstellform.h"
#include "gui/searchwindow/suchform.h"
#include "gui/searchwindow/textviewer.h"

#include "support/guicontext.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
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
        main.setWindows(einstell, such);
    }

    // One document per block, each holding the search word, in the UTF-8 collected file.
    void writeDocuments(int count)
    {
        QByteArray text;
        QByteArray titles;
        for (int i = 0; i < count; ++i) {
            const QByteArray marker = "#Z:\\doc\\d" + QByteArray::number(i) + ".htm";
            titles += QByteArray::number(text.size()) + " " + marker + "\r\n";
            text += marker + "\r\nEin Haus am See, Zeile eins\r\nnoch etwas Text ohne Treffer\r\n";
        }
        t.folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, text);
        t.folder.write(u"Datenbank/Archiv_Utf8_TitelPositionen.txt"_s, titles);
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

    test::TestContext t;
    gui::TMainForm_Vespira_HTML main {t.context};
    gui::TEinstellform *einstell = new gui::TEinstellform(t.context, &main);
    gui::TSuchForm *such = new gui::TSuchForm(t.context, &main);
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
        QElapsedTimer sinceCancel;
        qint64 cancelTook = -1;
        QTimer watcher;
        watcher.setInterval(1);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (such->windowTitle() != u"Suche läuft..."_s || sinceCancel.isValid())
                return;
            if (++pumpsWhileSearching < 3)
                return; // let the scan get well under way
            EXPECT_TRUE(such->CancelBtn->isEnabled());
            for (QWidget *second : {static_cast<QWidget *>(such->OKBtn), static_cast<QWidget *>(such->UTF8LadenButton),
                                    static_cast<QWidget *>(such->SpeedButton2), static_cast<QWidget *>(such->WeiterSuche)})
                EXPECT_FALSE(second->isEnabled()) << second->objectName().toStdString();
            sinceCancel.start();
            if (byEscape) {
                QWidget *focused = QApplication::focusWidget();
                QTest::keyClick(focused && focused->window() == such ? focused : such, Qt::Key_Escape);
            } else {
                QTest::mouseClick(such->CancelBtn, Qt::LeftButton);
            }
        });
        QObject::connect(such, &QDialog::accepted, such, [&] {
            if (sinceCancel.isValid() && cancelTook < 0)
                cancelTook = sinceCancel.elapsed();
        });
        watcher.start();
        QTimer::singleShot(0, such, [&] {
            such->TntEdit2->setText(u"Haus"_s);
            QTest::mouseClick(such->OKBtn, Qt::LeftButton);
        });
        main.SuchenBtnClick(); // shows the search window modally
        watcher.stop();
        QObject::disconnect(such, &QDialog::accepted, such, nullptr);

        ASSERT_TRUE(sinceCancel.isValid()) << "the run ended before it could be cancelled";
        EXPECT_GE(cancelTook, 0);
        EXPECT_LT(cancelTook, 100);
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
    // No stored value: the box keeps its designed tick.
    t.settings.values.remove(u"Suchwort_in_Zwischenablage_kopieren"_s);
    main.FormPaint();
    searchFor(u"Haus"_s);
    EXPECT_EQ(t.clipboard.text(), u"Haus"_s);

    // Unticked, then "&Abbruch": the box stays unticked although "1" is still stored.
    t.settings.values.insert(u"Suchwort_in_Zwischenablage_kopieren"_s, u"1"_s);
    t.clipboard.setText(QString());
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

TEST_F(ProgramWindowsTest, FontSizeButtonsOutlastTheSettingsDialog)
{
    main.FormPaint();
    such->show();
    ASSERT_EQ(such->ViewerMemo->font().pointSize(), 10);

    inSettingsDialog([this] {
        QTest::mouseClick(einstell->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(einstell->SpeedButton1, Qt::LeftButton);
        QTest::mouseClick(einstell->OkButton, Qt::LeftButton);
    });
    EXPECT_EQ(such->ViewerMemo->font().pointSize(), 12);
    EXPECT_EQ(such->Viewer->font().pointSize(), 12);

    inSettingsDialog([this] {
        QTest::mouseClick(einstell->SpeedButton2, Qt::LeftButton);
        QTest::mouseClick(einstell->AbbruchButton, Qt::LeftButton);
    });
    EXPECT_EQ(such->ViewerMemo->font().pointSize(), 11);
    EXPECT_EQ(such->Viewer->font().pointSize(), 11);
}
