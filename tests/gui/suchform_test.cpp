#include "gui/searchwindow/suchform.h"
#include "gui/searchwindow/textviewer.h"

#include "core/searchwindow/searchtextlists.h"
#include "support/guicontext.h"
#include "support/textdata.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using vespira::gui::TSuchForm;

namespace {

class SuchFormTest : public ::testing::Test
{
protected:
    SuchFormTest()
    {
        t.context.state.catalog.searchTimeDatabase = u"Archiv"_s;
        t.context.state.catalog.selectedDatabase = u"Archiv"_s;
    }

    // A collected UTF-8 file of three documents that start at the offsets of the title file.
    void writeUtf8Database()
    {
        QByteArray text;
        QByteArray titles;
        for (int i = 0; i < 3; ++i) {
            titles += QByteArray::number(text.size()) + " #Z:\\doc\\d" + QByteArray::number(i) + ".htm\r\n";
            text += "#Z:\\doc\\d" + QByteArray::number(i) + ".htm\r\n";
            for (int line = 0; line < 40; ++line)
                text += "Zeile " + QByteArray::number(line) + " von Dokument " + QByteArray::number(i) + "\r\n";
        }
        t.folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, text);
        t.folder.write(u"Datenbank/Archiv_Utf8_TitelPositionen.txt"_s, titles);
    }

    test::TestContext t;
    TSuchForm form {t.context};
};

} // namespace

TEST_F(SuchFormTest, ChangeHandlingCleansTagRemnantsAndChoosesTheOption)
{
    const struct
    {
        QString typed;
        QString kept;
        bool phrase;
    } cases[] = {
        {u"/><Haus>"_s, u"Haus"_s, false},
        {u"  Haus\tMaus"_s, u"Haus\tMaus"_s, true},
        {u"Haus "_s, u"Haus "_s, false}, // a blank typed before the next word stays
    };
    for (const auto &c : cases) {
        form.TntEdit2->setText(c.typed);
        EXPECT_EQ(form.TntEdit2->text(), c.kept) << c.typed.toStdString();
        EXPECT_EQ(form.PhraseCheckBox->isChecked(), c.phrase) << c.typed.toStdString();
        EXPECT_NE(form.OderCheckBox->isChecked(), form.PhraseCheckBox->isChecked());
        EXPECT_EQ(form.findChild<QLabel *>(u"TntLabel1"_s)->text(), u"Suchtext: "_s + c.kept);
        EXPECT_TRUE(form.OKBtn->isEnabled());
    }
    form.Button1Click();
    EXPECT_EQ(form.TntLabel1->text(), u"Es wurde kein Text eingegeben!"_s);
    EXPECT_FALSE(form.OKBtn->isEnabled());
    EXPECT_FALSE(form.SuchImInternetBtn->isEnabled());
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
}

TEST_F(SuchFormTest, PathShortcutFoundUnderAnotherDriveLetterIsOfferedOnce)
{
    t.folder.write(u"laufwerk-e/Daten/Brief.txt"_s, "Brief");
    t.settings.values.insert(u"Laufwerk_E"_s, t.folder.file(u"laufwerk-e"_s));
    t.dialogs.answer(true);
    // The leading blank is written back first; the question must still come only once.
    form.TntEdit2->setText(u" #C:\\Daten\\Brief.txt"_s);
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.shell.opened, QStringList {t.folder.file(u"laufwerk-e/Daten/Brief.txt"_s)});
    EXPECT_TRUE(t.context.state.view.pathOpened);

    // No: nothing opens, the flag is clear.
    t.dialogs.answer(false);
    form.TntEdit2->setText(u"#D:\\Daten\\Brief.txt"_s);
    EXPECT_EQ(t.shell.opened.size(), 1);
    EXPECT_FALSE(t.context.state.view.pathOpened);
}

TEST_F(SuchFormTest, PathShortcutNotFoundWarnsAndClosesTheWindow)
{
    t.context.state.catalog.runInProgress = true;
    form.show();
    form.TntEdit2->setText(u"#C:\\Daten\\Brief"_s);
    const QStringList texts = t.dialogs.texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith(u"?:\\Daten\\Brief\n hat keine Dateiendung."_s));
    EXPECT_EQ(texts[1], u"C:\\Daten\\Brief\nwurde nicht gefunden."_s);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(t.context.state.catalog.runInProgress);
}

TEST_F(SuchFormTest, ResizeKeepsTheMinimumSize)
{
    form.show();
    form.resize(800, 300);
    EXPECT_EQ(form.size(), QSize(1043, 500));
    form.resize(1200, 700);
    EXPECT_EQ(form.size(), QSize(1200, 700));
}

TEST_F(SuchFormTest, FirstPaintRestoresSizeAndSplitterAndEnablesLoadButtonsByFile)
{
    t.settings.values.insert(u"SWeite"_s, u"1100"_s);
    t.settings.values.insert(u"SHoehe"_s, u"600"_s);
    t.settings.values.insert(u"SplitterPos"_s, u"520"_s);
    t.folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, "abcd");
    t.folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, "\xFF\xFE" "a");
    form.show();
    EXPECT_EQ(form.size(), QSize(1100, 600));
    EXPECT_EQ(form.PanelLinks->width(), 520);
    EXPECT_TRUE(form.UTF8LadenButton->isEnabled());
    EXPECT_FALSE(form.UnicodeLadenButton->isEnabled()); // 3 bytes
    EXPECT_FALSE(form.AnsiLadenButton->isVisible());
    EXPECT_FALSE(form.ZeilenAlsListeSortieren->isEnabled());
}

TEST_F(SuchFormTest, OptionBoxesAreStoredWhenClickedRestoredAtFirstPaintAndSearchWith)
{
    t.settings.values.insert(u"Umlaute_gleichwertig"_s, u"1"_s);
    form.show();
    const auto top = [this](QWidget *box) { return box->mapTo(&form, QPoint()).y(); };
    EXPECT_GT(top(form.AlleWoerterCheckBox), top(form.NurGanzeWoerterCheckBox)); // under the two

    EXPECT_TRUE(form.UmlauteGleichwertigCheckBox->isChecked());
    EXPECT_FALSE(form.AlleWoerterCheckBox->isChecked());
    form.FundstellenZaehlenCheckBox->click();
    form.AlleDatenbankenCheckBox->click();
    form.AlleDatenbankenCheckBox->click();
    EXPECT_EQ(t.settings.values.value(u"Fundstellen_zaehlen"_s), u"1"_s);
    EXPECT_EQ(t.settings.values.value(u"In_allen_Datenbanken_suchen"_s), u"0"_s);
    EXPECT_FALSE(t.settings.values.contains(u"Alle_Woerter_suchen"_s));

    t.folder.write(u"Datenbank/Archiv.dat"_s, "PFAD_UND_ENDUNGEN=Z:\\doc\\\r\n"_ba);
    t.folder.write(u"Datenbank/Archiv_UTF8Dokument.txt"_s, "#Z:\\doc\\a.htm\r\nHerr Mueller\r\n"_ba);
    t.folder.write(u"Datenbank/Archiv_Utf8_TitelPositionen.txt"_s, "0 #Z:\\doc\\a.htm\r\n"_ba);
    form.TntEdit2->setText(u"Müller"_s);
    form.OKBtnClick();
    const QString page = QString::fromUtf8(t.folder.read(u"Datenbank/Temp/Vespira_Ergebnis.htm"_s));
    EXPECT_TRUE(page.contains(u" Dazu: <u>Umlaute gleichwertig</u>, <u>Fundstellen zählen</u>."_s))
        << page.toStdString();
    EXPECT_TRUE(page.contains(u"(1 Fundstelle)<br><font color=\"#000080\">Herr <b>Mueller</b>"_s)) << page.toStdString();
}

// The web panel stays hidden until its first search; the drop-down must not take the
// hidden panel's geometry.
TEST_F(SuchFormTest, DropDownTogglesLiesUnderTheSearchBarAsWideAsTheWebPanelAndAClickInsertsTheText)
{
    t.settings.values.insert(u"SWeite"_s, u"1100"_s);
    t.settings.values.insert(u"SHoehe"_s, u"600"_s);
    form.show();
    QCoreApplication::processEvents();
    form.TntEdit2Click();
    EXPECT_FALSE(form.TntListBox2->isVisible()); // nothing to show
    form.setSearchTexts({u"Haus"_s, u"Baum"_s});
    form.TntEdit2Click();
    EXPECT_TRUE(form.TntListBox2->isVisible());
    ASSERT_FALSE(form.Panel2->isVisible());
    const QRect drop = form.TntListBox2->geometry();
    EXPECT_EQ(drop.left(), form.TntEdit2->x());
    EXPECT_EQ(drop.right(), form.Button1->geometry().right());
    EXPECT_EQ(drop.top(), form.TntEdit2->geometry().bottom() + 1);
    form.TntListBox2Click(u"Baum"_s);
    EXPECT_FALSE(form.TntListBox2->isVisible());
    EXPECT_EQ(form.TntEdit2->text(), u"Baum"_s);
    EXPECT_EQ(form.TntEdit2->cursorPosition(), 4);
    form.TntEdit2Click();
    form.TntEdit2KeyDown(Qt::Key_A);
    EXPECT_FALSE(form.TntListBox2->isVisible());

    form.Panel2->show();
    QCoreApplication::processEvents();
    form.TntEdit2Click();
    EXPECT_EQ(form.TntListBox2->x(), form.Panel2->x());
    EXPECT_EQ(form.TntListBox2->width(), form.Panel2->width());
}

TEST_F(SuchFormTest, HandOffTextNeedsTheSiblingWindowAndTheFile)
{
    t.context.state.controlFolder = t.folder.file(u"steuer/"_s);
    t.folder.write(u"steuer/Datenbank/Suchtext.txt"_s, QByteArray("\xFF\xFEH\0\xE4\0u\0s\0", 10));
    form.ApplicationActivate();
    EXPECT_TRUE(form.TntEdit2->text().isEmpty());
    t.system.windows << u"TMainform_Vespira_PLUS"_s;
    form.ApplicationActivate();
    EXPECT_EQ(form.TntEdit2->text(), u"Häus"_s);
    EXPECT_EQ(t.context.state.handedOverSearchText, u"Häus"_s);
}

TEST_F(SuchFormTest, LoadShowsCaptionTheTitleAtTheViewPositionAndTheKindsSearchTexts)
{
    const test::GermanLocale locale;
    writeUtf8Database();
    searchwindow::writeSearchTextList(
        searchwindow::searchTextListPath(t.folder.path(), u"Archiv"_s, app::DocumentKind::Utf8),
        {u"Haus"_s, u"Baum"_s});
    form.setSearchTexts({u"alt"_s});
    form.setDropDownGrey(true);
    form.show();
    form.UTF8LadenButtonClick();
    EXPECT_EQ(form.Label8->text(), u"UTF8-DB: \"Archiv\"  Position: "_s);
    EXPECT_TRUE(form.ViewerMemo->toPlainText().startsWith(u"#Z:\\doc\\d0.htm"_s));
    form.ZeigDieTitelAn();
    EXPECT_EQ(form.Label2->text(), u"0  \"Z:\\doc\\d0.htm\""_s);
    EXPECT_EQ(form.searchTexts(), (QStringList {u"Haus"_s, u"Baum"_s}));
    EXPECT_FALSE(form.dropDownIsGrey());
}

TEST_F(SuchFormTest, BookmarkIsStoredOnlyAfterPaintingAndRestoresTheStartOfItsLine)
{
    writeUtf8Database();
    form.LesezeichenBtnClick(); // nothing painted yet
    EXPECT_TRUE(t.settings.values.isEmpty());

    // 1000 lies in "Zeile 29 von Dokument 0", which starts at 981.
    t.settings.values.insert(u"Lesezeichen_Utf8_Archiv"_s, u"1000"_s);
    form.show();
    form.UTF8LadenButtonClick();
    EXPECT_EQ(t.context.state.view.viewPosition, 981);

    t.settings.values.clear();
    form.LesezeichenBtnClick();
    EXPECT_EQ(t.settings.values.value(u"Lesezeichen_Utf8_Archiv"_s), u"981"_s);
    EXPECT_TRUE(t.dialogs.shown.isEmpty());
}

// The loader first puts the viewer in 8-bit mode and then back in UTF-16 mode; the view
// must come back where it was, not a line higher at every reload.
TEST_F(SuchFormTest, ReloadingTheMhtKindKeepsTheViewPosition)
{
    QString text;
    for (int line = 0; line < 300; ++line)
        text += u"Zeile %1 von Dokument\r\n"_s.arg(line, 3, 10, QChar(u'0'));
    t.folder.write(u"Datenbank/Archiv_MHTtext.txt"_s, test::utf16le(text));
    form.show();
    form.UnicodeLadenButtonClick();
    ASSERT_TRUE(t.context.state.view.viewerPainted);
    const qint64 line100 = 2 + 100 * 2 * 24; // after the mark, 24 characters a line
    form.Viewer->scrollToOffset(line100);
    form.Viewer->repaint();
    ASSERT_EQ(t.context.state.view.viewPosition, line100);
    for (int reload = 0; reload < 3; ++reload) {
        form.UnicodeLadenButtonClick();
        EXPECT_EQ(t.context.state.view.viewPosition, line100) << "reload " << reload;
    }
    EXPECT_TRUE(form.ViewerMemo->toPlainText().startsWith(u"Zeile 100 von Dokument"_s));
}

TEST_F(SuchFormTest, MemoTextIsCarriedIntoTheLeftBar)
{
    form.ViewerMemo->setPlainText(u"eins </b>Haus<br>\nzwei"_s);
    QTextCursor cursor = form.ViewerMemo->textCursor();
    cursor.setPosition(9);
    cursor.setPosition(17, QTextCursor::KeepAnchor);
    form.ViewerMemo->setTextCursor(cursor);
    form.ViewerMemoMouseDown(Qt::RightButton);
    EXPECT_TRUE(form.TextinSuchleistelinksbertragen1->isEnabled());
    form.TextinSuchleistelinksbertragen1Click();
    EXPECT_EQ(form.TntEdit2->text(), u"Haus"_s);

    form.ViewerMemo->moveCursor(QTextCursor::Start);
    form.ViewerMemoMouseDown(Qt::RightButton);
    EXPECT_FALSE(form.TextinSuchleistelinksbertragen1->isEnabled());
}
