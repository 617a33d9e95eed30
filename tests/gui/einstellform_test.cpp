#include "gui/output/einstellform.h"

#include "gui/common/colors.h"
#include "gui/common/hints.h"
#include "gui/output/pickers.h"
#include "support/guicontext.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using gui::TEinstellform;
using output::BrowserChoice;

namespace {

class ScriptedPicker final : public gui::ColorPicker
{
public:
    std::optional<QColor> pickColor(QWidget *, const QColor &) override
    {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected colour dialog";
            return std::nullopt;
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<QColor>> answers;
};

QWidget *child(QWidget *parent, const QString &name, QWidget *widget = nullptr)
{
    if (!widget)
        widget = new QWidget(parent);
    widget->setParent(parent);
    widget->setObjectName(name);
    return widget;
}

// Stand-ins for the main window and the search window with the controls the dialog
// reaches by name.
struct Windows
{
    Windows()
    {
        main->setObjectName(u"TMainForm_Vespira_HTML"_s);
        for (const QString &name : {u"Panel1"_s, u"Image1"_s})
            child(main.get(), name);
        child(main.get(), u"Label1"_s, new QLabel);
        search->setObjectName(u"TSuchForm"_s);
        for (const QString &name : {u"PanelLinks"_s, u"PanelRechts"_s, u"PanelUnten"_s, u"ToolBar1"_s, u"Panel2"_s, u"Viewer"_s})
            child(search.get(), name);
        memo = static_cast<QPlainTextEdit *>(child(search.get(), u"ViewerMemo"_s, new QPlainTextEdit));
        child(search.get(), u"Label8"_s, new QLabel);
        main->resize(900, 600);
        search->resize(1100, 700);
    }

    QWidget *searchChild(const QString &name) const { return search->findChild<QWidget *>(name); }

    // Every background the colour button sets.
    QList<QColor> backgrounds(const TEinstellform &dialog) const
    {
        QList<QColor> result {gui::backgroundColor(main.get()), gui::backgroundColor(search.get()),
                              gui::backgroundColor(&dialog),
                              gui::backgroundColor(main->findChild<QWidget *>(u"Panel1"_s))};
        for (const QString &name : {u"PanelLinks"_s, u"PanelRechts"_s, u"PanelUnten"_s, u"ToolBar1"_s, u"Panel2"_s})
            result << gui::backgroundColor(searchChild(name));
        return result;
    }

    std::unique_ptr<QWidget> main = std::make_unique<QWidget>();
    std::unique_ptr<QWidget> search = std::make_unique<QWidget>();
    QPlainTextEdit *memo = nullptr;
};

class EinstellformTest : public ::testing::Test
{
protected:
    std::unique_ptr<TEinstellform> makeDialog()
    {
        auto dialog = std::make_unique<TEinstellform>(t.context);
        dialog->setColorPicker(&picker);
        return dialog;
    }

    static QString hint(const TEinstellform &d, BrowserChoice c) { return d.BrowserImages[static_cast<size_t>(c)]->toolTip(); }

    test::TestContext t;
    ScriptedPicker picker;
    Windows windows;
};

} // namespace

TEST_F(EinstellformTest, InternetExplorerEntryOffersInternetExplorerAndEdge)
{
    t.system.browsers = {{u"Internet Explorer"_s, {}}};
    t.settings.values[u"Browser"_s] = u"standard"_s;
    const auto dialog = makeDialog();
    EXPECT_EQ(hint(*dialog, BrowserChoice::InternetExplorer), u"Microsoft Internet Explorer"_s);
    EXPECT_EQ(hint(*dialog, BrowserChoice::Edge), u"Microsoft Edge"_s);
    EXPECT_EQ(hint(*dialog, BrowserChoice::Standard), u"Standard Browser"_s);
    for (BrowserChoice c : {BrowserChoice::Chrome, BrowserChoice::Opera, BrowserChoice::Safari, BrowserChoice::Firefox})
        EXPECT_TRUE(hint(*dialog, c).isEmpty()) << "placeholder expected";
    for (const QToolButton *image : dialog->BrowserImages)
        EXPECT_TRUE(image->isVisibleTo(dialog.get())) << "placeholders keep the row's layout";
    EXPECT_EQ(dialog->currentBrowser(), BrowserChoice::Standard);
    EXPECT_FALSE(dialog->AktuellerBrowser_Image->pixmap().isNull());
}

TEST_F(EinstellformTest, EdgeOnPathAndUnknownBrowserValue)
{
    t.shell.onPath = {u"microsoft-edge"_s};
    t.settings.values[u"Browser"_s] = u"lynx"_s;
    const auto dialog = makeDialog();
    EXPECT_EQ(hint(*dialog, BrowserChoice::Edge), u"Microsoft Edge"_s);
    EXPECT_TRUE(hint(*dialog, BrowserChoice::InternetExplorer).isEmpty());
    EXPECT_FALSE(dialog->currentBrowser());
    EXPECT_TRUE(dialog->AktuellerBrowser_Image->pixmap().isNull());
}

TEST_F(EinstellformTest, ChromiumOnlyShowsItsOwnIconForChrome)
{
    // A picture no theme or drawn badge has: a plain magenta square.
    QImage picture(48, 48, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 255));
    const QString iconFile = t.folder.file(u"chromium.png"_s);
    ASSERT_TRUE(picture.save(iconFile));
    t.system.browsers = {{u"Chromium"_s, iconFile}};
    t.settings.values[u"Browser"_s] = u"chrome"_s;
    const auto dialog = makeDialog();

    EXPECT_EQ(hint(*dialog, BrowserChoice::Chrome), u"Google Chrome"_s);
    const QImage shown = dialog->BrowserImages[static_cast<size_t>(BrowserChoice::Chrome)]->icon().pixmap(32).toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelColor(16, 16), QColor(255, 0, 255));
    EXPECT_EQ(dialog->currentBrowser(), BrowserChoice::Chrome);
    EXPECT_EQ(dialog->AktuellerBrowser_Image->pixmap().toImage().pixelColor(16, 16), QColor(255, 0, 255));
}

TEST_F(EinstellformTest, ChoosingABrowserWritesAtOnceAndAPlaceholderWritesNothing)
{
    t.system.browsers = {{u"Firefox ESR"_s, {}}};
    const auto dialog = makeDialog();
    t.settings.writeOrder.clear();

    dialog->BrowserImages[static_cast<size_t>(BrowserChoice::Chrome)]->click(); // placeholder
    EXPECT_TRUE(t.settings.writeOrder.isEmpty());
    EXPECT_FALSE(dialog->currentBrowser());

    dialog->BrowserImages[static_cast<size_t>(BrowserChoice::Firefox)]->click();
    EXPECT_EQ(t.settings.values.value(u"Browser"_s), u"firefox"_s);
    EXPECT_EQ(t.context.state.browser, u"firefox"_s);
    EXPECT_EQ(dialog->currentBrowser(), BrowserChoice::Firefox);

    dialog->BrowserImages[static_cast<size_t>(BrowserChoice::Standard)]->click();
    EXPECT_EQ(t.settings.values.value(u"Browser"_s), u"standard"_s);
}

TEST_F(EinstellformTest, AbbruchAfterAColourPickGoesBackToHighlightNotToTheEarlierColour)
{
    const auto dialog = makeDialog();
    gui::setBackgroundColor(windows.main.get(), QColor(200, 200, 200));
    const QColor picked(10, 20, 30);
    picker.answers = {picked};
    dialog->FarbenAendernButton->click();
    for (const QColor &c : windows.backgrounds(*dialog))
        EXPECT_EQ(c, picked);
    EXPECT_EQ(t.settings.values.value(u"Farbe"_s), u"$001E140A"_s);
    EXPECT_TRUE(dialog->colorChanged());
    EXPECT_FALSE(windows.main->findChild<QWidget *>(u"Image1"_s)->autoFillBackground());

    dialog->AbbruchButton->click();
    const QColor highlight = gui::toQColor(app::color::clHighlight);
    for (const QColor &c : windows.backgrounds(*dialog))
        EXPECT_EQ(c, highlight);
    EXPECT_EQ(t.settings.values.value(u"Farbe"_s), u"clHighlight"_s);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(EinstellformTest, CancelledColourDialogsAndAbbruchWithoutPickChangeNothing)
{
    const auto dialog = makeDialog();
    gui::setBackgroundColor(windows.main.get(), QColor(1, 2, 3));
    t.settings.writeOrder.clear();
    picker.answers = {std::nullopt, std::nullopt};
    dialog->FarbenAendernButton->click();
    dialog->HinweistexteFarbenAendernButton->click();
    dialog->AbbruchButton->click();
    EXPECT_TRUE(t.settings.writeOrder.isEmpty());
    EXPECT_EQ(gui::backgroundColor(windows.main.get()), QColor(1, 2, 3));
    EXPECT_FALSE(dialog->colorChanged());
}

TEST_F(EinstellformTest, NoticeColourIsWrittenAndAppliedToTheNoticeTexts)
{
    const auto dialog = makeDialog();
    picker.answers = {QColor(255, 0, 1)};
    dialog->HinweistexteFarbenAendernButton->click();
    EXPECT_EQ(t.settings.values.value(u"HinweistextFarbe"_s), u"$000100FF"_s);
    EXPECT_EQ(t.context.state.noticeColorText, u"$000100FF"_s);
    EXPECT_EQ(gui::fontColor(dialog->SuchtextInClipbrdCheckBox), QColor(255, 0, 1));
    EXPECT_EQ(gui::fontColor(windows.searchChild(u"Label8"_s)), QColor(255, 0, 1));
    EXPECT_EQ(gui::fontColor(windows.main->findChild<QWidget *>(u"Label1"_s)), QColor(255, 0, 1));
}

TEST_F(EinstellformTest, RestoreDefaultsResetsAllValuesAndSizes)
{
    for (const int screen : {1280, 800}) {
        SCOPED_TRACE(screen);
        t.system.width = screen;
        const auto dialog = makeDialog();
        gui::setBackgroundColor(windows.search.get(), QColor(1, 2, 3));
        QFont font = windows.memo->font();
        font.setPointSize(17);
        windows.memo->setFont(font);
        t.settings.values.clear();

        dialog->Button1->click();

        const QString width = QString::number(screen > 1024 ? 900 : screen);
        const QMap<QString, QString> expected {
            {u"Farbe"_s, u"clHighlight"_s}, {u"SchriftsizeTextViewer"_s, u"10"_s}, {u"Hoehe"_s, u"420"_s},
            {u"Weite"_s, u"700"_s}, {u"SHoehe"_s, u"500"_s}, {u"SWeite"_s, width}, {u"HinweistextFarbe"_s, u"clWhite"_s},
        };
        EXPECT_EQ(t.settings.values, expected);
        EXPECT_EQ(windows.main->size(), QSize(700, 420));
        EXPECT_EQ(windows.search->size(), QSize(width.toInt(), 500));
        EXPECT_EQ(windows.memo->font().pointSize(), 10);
        EXPECT_EQ(windows.searchChild(u"Viewer"_s)->font().pointSize(), 10);
        for (const QColor &c : windows.backgrounds(*dialog))
            EXPECT_EQ(c, gui::toQColor(app::color::clHighlight));
        EXPECT_EQ(gui::fontColor(dialog->Label5), QColor(Qt::white));
    }
}

TEST_F(EinstellformTest, FontButtonsWorkOnlyWhileTheSearchWindowIsShown)
{
    const auto dialog = makeDialog();
    dialog->FormPaint();
    EXPECT_FALSE(dialog->SpeedButton1->isEnabled());
    EXPECT_FALSE(dialog->SortierungAnzeigenBitBtn->isEnabled());
    EXPECT_EQ(dialog->SpeedButton1->text(), u"+    "_s);
    EXPECT_EQ(dialog->SpeedButton2->text(), u"-    "_s);

    windows.search->show();
    dialog->FormPaint();
    EXPECT_TRUE(dialog->SpeedButton1->isEnabled());
    EXPECT_TRUE(dialog->SpeedButton2->isEnabled());
    EXPECT_TRUE(dialog->SortierungAnzeigenBitBtn->isEnabled());
    EXPECT_TRUE(dialog->SpeedButton1->text().isEmpty());

    QFont font = windows.memo->font();
    font.setPointSize(12);
    windows.memo->setFont(font);
    dialog->SpeedButton1->click();
    EXPECT_EQ(windows.memo->font().pointSize(), 13);
    EXPECT_EQ(windows.searchChild(u"Viewer"_s)->font().pointSize(), 13);
    dialog->SpeedButton2->click();
    dialog->SpeedButton2->click();
    EXPECT_EQ(windows.memo->font().pointSize(), 11);

    font.setPointSize(1);
    windows.memo->setFont(font);
    dialog->SpeedButton2->click();
    EXPECT_EQ(windows.memo->font().pointSize(), 1) << "no size below one point";
    windows.search->hide();
}

TEST_F(EinstellformTest, OkWritesTheSwitchesAndSwitchesTheViewerHints)
{
    const auto dialog = makeDialog();
    EXPECT_TRUE(dialog->SuchtextInClipbrdCheckBox->isChecked());
    EXPECT_TRUE(dialog->KurzhinweisImViewerZeigenCheckBox->isChecked());
    dialog->SuchtextInClipbrdCheckBox->setChecked(false);
    dialog->KurzhinweisImViewerZeigenCheckBox->setChecked(false);
    dialog->OkButton->click();
    EXPECT_EQ(t.settings.values.value(u"Suchwort_in_Zwischenablage_kopieren"_s), u"0"_s);
    EXPECT_EQ(t.settings.values.value(u"Kurzhinweis_imViewer_anzeigen"_s), u"0"_s);
    EXPECT_FALSE(gui::hintsShown(windows.memo));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    dialog->SuchtextInClipbrdCheckBox->setChecked(true);
    dialog->KurzhinweisImViewerZeigenCheckBox->setChecked(true);
    dialog->OkButton->click();
    EXPECT_EQ(t.settings.values.value(u"Suchwort_in_Zwischenablage_kopieren"_s), u"1"_s);
    EXPECT_TRUE(gui::hintsShown(windows.memo));
}

TEST_F(EinstellformTest, SortPanelOpensOnlyAfterYes)
{
    const auto dialog = makeDialog();
    int opened = 0;
    dialog->setSortPanelOpener([&] { ++opened; });
    t.context.state.catalog.searchTimeDatabase = u"Akten"_s;
    t.context.state.sort.sortCancel.request();

    t.dialogs.answer(false);
    dialog->SortierungAnzeigenBitBtnClick();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(t.context.state.sort.sortCancel.isRequested());
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].kind, u"confirm"_s);
    EXPECT_EQ(t.dialogs.shown[0].text,
              u"Möchten Sie die Dokumente von \"Akten\" sortieren?\r\nVorhandene sortierte Listen werden überschrieben! "
              u"Wenn JA, dann \r\nklicken Sie anschließend auf den Schalter \"Sortierte Listen erstellen\""_s);

    t.dialogs.answer(true);
    dialog->SortierungAnzeigenBitBtnClick();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(t.context.state.sort.sortCancel.isRequested());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(EinstellformTest, AFailedSettingsWriteIsReportedNotThrown)
{
    const auto dialog = makeDialog();
    t.settings.failWrites = true;
    dialog->BrowserImages[static_cast<size_t>(BrowserChoice::Standard)]->click();
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].kind, u"error"_s);
}
