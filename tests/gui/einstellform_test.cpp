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

// Records what the dialog asks of the other windows.
struct Links final : gui::WindowLinks
{
    std::optional<QColor> mainWindowBackground() const override { return mainBackground; }
    void restoreMainWindowSize(QSize size) override { mainSize = size; }
    bool searchWindowShown() const override { return searchShown; }
    void resizeSearchWindow(QSize size) override { searchSize = size; }
    std::optional<int> viewerFontSize() const override { return fontSize; }
    void applyViewerFontSize(int points) override { fontSize = points; }
    void showViewerHints(bool shown) override { hints = shown; }
    void openSortPanel() override { ++sortPanelOpened; }
    void applyBackgroundColour(const std::optional<QColor> &chosen) override { backgrounds << chosen; }
    void applyNoticeColour(const QColor &color) override { notices << color; }

    QColor mainBackground {200, 200, 200};
    QSize mainSize;
    QSize searchSize;
    bool searchShown = false;
    int fontSize = 10;
    std::optional<bool> hints;
    int sortPanelOpened = 0;
    QList<std::optional<QColor>> backgrounds;
    QList<QColor> notices;
};

class EinstellformTest : public ::testing::Test
{
protected:
    std::unique_ptr<TEinstellform> makeDialog()
    {
        auto dialog = std::make_unique<TEinstellform>(t.context, links);
        dialog->setColorPicker(&picker);
        return dialog;
    }

    static QToolButton *image(const TEinstellform &d, BrowserChoice c) { return d.BrowserImages[static_cast<size_t>(c)]; }
    static QString hint(const TEinstellform &d, BrowserChoice c) { return image(d, c)->toolTip(); }

    test::TestContext t;
    ScriptedPicker picker;
    Links links;
};

} // namespace

TEST_F(EinstellformTest, InternetExplorerEntryOrEdgeOnPathOfferEdgeAndAnUnknownValueShowsNoBrowser)
{
    t.system.browsers = {{u"Internet Explorer"_s, {}}};
    t.settings.values[u"Browser"_s] = u"standard"_s;
    const auto dialog = makeDialog();
    EXPECT_EQ(hint(*dialog, BrowserChoice::InternetExplorer), u"Microsoft Internet Explorer"_s);
    EXPECT_EQ(hint(*dialog, BrowserChoice::Edge), u"Microsoft Edge"_s);
    EXPECT_EQ(hint(*dialog, BrowserChoice::Standard), u"Standard Browser"_s);
    for (BrowserChoice c : {BrowserChoice::Chrome, BrowserChoice::Opera, BrowserChoice::Safari, BrowserChoice::Firefox})
        EXPECT_TRUE(hint(*dialog, c).isEmpty()) << "placeholder expected";
    for (const QToolButton *button : dialog->BrowserImages)
        EXPECT_TRUE(button->isVisibleTo(dialog.get())) << "placeholders keep the row's layout";
    EXPECT_EQ(dialog->currentBrowser(), BrowserChoice::Standard);
    EXPECT_FALSE(dialog->AktuellerBrowser_Image->pixmap().isNull());

    t.system.browsers.clear();
    t.shell.onPath = {u"microsoft-edge"_s};
    t.settings.values[u"Browser"_s] = u"lynx"_s;
    const auto other = makeDialog();
    EXPECT_EQ(hint(*other, BrowserChoice::Edge), u"Microsoft Edge"_s);
    EXPECT_TRUE(hint(*other, BrowserChoice::InternetExplorer).isEmpty());
    EXPECT_FALSE(other->currentBrowser());
    EXPECT_TRUE(other->AktuellerBrowser_Image->pixmap().isNull());
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
    const QImage shown = image(*dialog, BrowserChoice::Chrome)->icon().pixmap(32).toImage();
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

    image(*dialog, BrowserChoice::Chrome)->click(); // placeholder
    EXPECT_TRUE(t.settings.writeOrder.isEmpty());
    EXPECT_FALSE(dialog->currentBrowser());

    image(*dialog, BrowserChoice::Firefox)->click();
    EXPECT_EQ(t.settings.values.value(u"Browser"_s), u"firefox"_s);
    EXPECT_EQ(t.context.state.browser, u"firefox"_s);
    EXPECT_EQ(dialog->currentBrowser(), BrowserChoice::Firefox);

    image(*dialog, BrowserChoice::Standard)->click();
    EXPECT_EQ(t.settings.values.value(u"Browser"_s), u"standard"_s);
}

TEST_F(EinstellformTest, AbbruchAfterAColourPickGoesBackToHighlightNotToTheEarlierColour)
{
    const auto dialog = makeDialog();
    const QColor picked(10, 20, 30);
    picker.answers = {picked};
    dialog->FarbenAendernButton->click();
    EXPECT_EQ(links.backgrounds, (QList<std::optional<QColor>> {picked}));
    EXPECT_EQ(t.settings.values.value(u"Farbe"_s), u"$001E140A"_s);
    EXPECT_TRUE(dialog->colorChanged());

    dialog->AbbruchButton->click();
    EXPECT_EQ(links.backgrounds.value(1), gui::toQColor(app::color::clHighlight));
    EXPECT_EQ(t.settings.values.value(u"Farbe"_s), u"clHighlight"_s);
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(EinstellformTest, CancelledColourDialogsAndAbbruchWithoutPickChangeNothing)
{
    const auto dialog = makeDialog();
    t.settings.writeOrder.clear();
    picker.answers = {std::nullopt, std::nullopt};
    dialog->FarbenAendernButton->click();
    dialog->HinweistexteFarbenAendernButton->click();
    dialog->AbbruchButton->click();
    EXPECT_TRUE(t.settings.writeOrder.isEmpty());
    EXPECT_TRUE(links.backgrounds.isEmpty());
    EXPECT_TRUE(links.notices.isEmpty());
    EXPECT_FALSE(dialog->colorChanged());
}

TEST_F(EinstellformTest, NoticeColourIsWrittenAndAppliedToTheNoticeTexts)
{
    const auto dialog = makeDialog();
    picker.answers = {QColor(255, 0, 1)};
    dialog->HinweistexteFarbenAendernButton->click();
    EXPECT_EQ(t.settings.values.value(u"HinweistextFarbe"_s), u"$000100FF"_s);
    EXPECT_EQ(t.context.state.noticeColorText, u"$000100FF"_s);
    EXPECT_EQ(links.notices, QList<QColor> {QColor(255, 0, 1)});
}

TEST_F(EinstellformTest, RestoreDefaultsResetsAllValuesAndSizes)
{
    t.system.width = 800;
    const auto dialog = makeDialog();
    links.fontSize = 17;
    t.settings.values.clear();

    dialog->Button1->click();

    // The values written are the core's test; here what the other windows are told.
    EXPECT_EQ(t.settings.values.size(), 7);
    EXPECT_EQ(links.mainSize, QSize(700, 420));
    EXPECT_EQ(links.searchSize, QSize(800, 500));
    EXPECT_EQ(links.fontSize, 10);
    EXPECT_EQ(links.backgrounds, (QList<std::optional<QColor>> {gui::toQColor(app::color::clHighlight)}));
    EXPECT_EQ(links.notices, QList<QColor> {QColor(Qt::white)});
}

TEST_F(EinstellformTest, FontButtonsWorkOnlyWhileTheSearchWindowIsShown)
{
    const auto dialog = makeDialog();
    dialog->FormPaint();
    EXPECT_FALSE(dialog->SpeedButton1->isEnabled());
    EXPECT_FALSE(dialog->SortierungAnzeigenBitBtn->isEnabled());
    EXPECT_EQ(dialog->SpeedButton1->text(), u"+    "_s);
    EXPECT_EQ(dialog->SpeedButton2->text(), u"-    "_s);

    links.searchShown = true;
    dialog->FormPaint();
    EXPECT_TRUE(dialog->SpeedButton1->isEnabled());
    EXPECT_TRUE(dialog->SpeedButton2->isEnabled());
    EXPECT_TRUE(dialog->SortierungAnzeigenBitBtn->isEnabled());
    EXPECT_TRUE(dialog->SpeedButton1->text().isEmpty());

    dialog->SpeedButton1->click();
    dialog->AbbruchButton->click();
    EXPECT_EQ(links.fontSize, 11) << "the size outlasts the dialog's Abbruch";
    links.fontSize = 1;
    dialog->SpeedButton2->click();
    EXPECT_EQ(links.fontSize, 1) << "no size below one point";
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
    EXPECT_EQ(links.hints, false);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);

    dialog->KurzhinweisImViewerZeigenCheckBox->setChecked(true);
    dialog->OkButton->click();
    EXPECT_EQ(t.settings.values.value(u"Kurzhinweis_imViewer_anzeigen"_s), u"1"_s);
    EXPECT_EQ(links.hints, true);
}

TEST_F(EinstellformTest, AFailedSettingsWriteIsReportedNotThrown)
{
    const auto dialog = makeDialog();
    t.settings.failWrites = true;
    image(*dialog, BrowserChoice::Standard)->click();
    ASSERT_EQ(t.dialogs.shown.size(), 1);
    EXPECT_EQ(t.dialogs.shown[0].kind, u"error"_s);
}
