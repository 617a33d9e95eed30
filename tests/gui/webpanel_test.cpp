#include "gui/searchwindow/webpanel.h"

#include "gui/common/colors.h"
#include "support/guicontext.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using gui::WebPanel;

namespace {

const QByteArray AddressFile = "[Themen1]\r\nListe=Suchmaschinen, Programmierung,\r\n"
                               "[Themen2]\r\nListe=W\xF6rterb\xFC" "cher\r\n"
                               "[Suchmaschinen]\r\nListe=https://a.example/?q=, https://b.example/?, https://c.example/suche/\r\n"
                               "[Programmierung]\r\nListe=https://doc.example/\r\n";

// The settings dialog's box and the main window's colour, as the search window passes them on.
struct Host final : gui::WebPanelHost
{
    std::optional<bool> searchTextClipboardWanted() const override { return copy; }
    std::optional<QColor> mainWindowBackground() const override { return background; }

    std::optional<bool> copy = true;
    std::optional<QColor> background;
};

class WebPanelTest : public ::testing::Test
{
protected:
    WebPanelTest()
    {
        t.folder.write(u"Adressen_Webseiten.txt"_s, AddressFile);
        t.context.state.adressenPath = t.folder.file(u"Adressen_Webseiten.txt"_s);
        panel->setLauncher([this](const QString &address) { opened << address; });
    }

    // Fills the panel, chooses the topic by name and the address by its row.
    void choose(const QString &topic, int row)
    {
        panel->fillTopics();
        panel->TntComboBox1->setCurrentIndex(panel->TntComboBox1->findText(topic));
        panel->TntComboBox1Click();
        panel->TntListBox1->setCurrentRow(row);
    }

    QString selectedAddress() const
    {
        const QListWidgetItem *item = panel->TntListBox1->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }

    test::TestContext t;
    QWidget window;
    QLineEdit *bar = new QLineEdit(&window);
    Host host;
    std::unique_ptr<WebPanel> panel = std::make_unique<WebPanel>(t.context, host, bar, &window);
    QStringList opened;
};

} // namespace

TEST_F(WebPanelTest, FirstPressOnlyShowsThePanelAndNothingOpensWithoutTextOrAddress)
{
    choose(u"Suchmaschinen"_s, 2);
    ASSERT_TRUE(panel->isHidden());
    bar->setText(u"Haus "_s);
    panel->SuchImInternetBtnClick();
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->TntLabel1->text(), u"Suchtext: Haus "_s);
    EXPECT_EQ(selectedAddress(), u"https://a.example/?q="_s) << "the first address is selected";
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(t.clipboard.text().isEmpty());
    EXPECT_EQ(bar->text(), u"Haus "_s);

    panel->hide();
    bar->setText(u" \t"_s);
    panel->SuchImInternetBtnClick();
    EXPECT_EQ(panel->TntLabel1->text(), u"Suchtext: Es wurde kein Text eingegeben!"_s);

    // Shown, a press without text or without an address opens nothing and keeps the text.
    panel->SuchImInternetBtnClick();
    EXPECT_EQ(bar->text(), u" \t"_s);
    panel->TntListBox1->clear();
    bar->setText(u"Haus"_s);
    panel->SuchImInternetBtnClick();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(bar->text(), u"Haus"_s);
}

TEST_F(WebPanelTest, QueryAddressGetsTheUntrimmedTextAndAnAddressEndingInQuestionMarkOpensBare)
{
    choose(u"Suchmaschinen"_s, 0);
    panel->show();
    bar->setText(u" Haus "_s);
    panel->SuchImInternetBtnClick();
    EXPECT_EQ(opened, QStringList {u"https://a.example/?q=%20Haus%20"_s});
    EXPECT_EQ(t.clipboard.text(), u"Haus"_s) << "the clipboard gets the trimmed text";
    EXPECT_TRUE(bar->text().isEmpty());
    EXPECT_EQ(panel->TntLabel1->text(), u"Suchtext: "_s);

    // The settings dialog's switch keeps the clipboard as it is.
    panel->TntListBox1->setCurrentRow(1);
    host.copy = false;
    bar->setText(u"Maus"_s);
    panel->SuchImInternetBtnClick();
    EXPECT_EQ(opened.value(1), u"https://b.example/?"_s);
    EXPECT_EQ(t.clipboard.text(), u"Haus"_s);
}

TEST_F(WebPanelTest, DefaultLauncherUsesTheChosenBrowser)
{
    panel = std::make_unique<WebPanel>(t.context, host, bar, &window);
    t.settings.values[u"Browser"_s] = u"standard"_s;
    choose(u"Programmierung"_s, 0);
    panel->show();
    bar->setText(u"C++"_s);
    panel->SuchImInternetBtnClick();
    EXPECT_EQ(t.shell.opened, QStringList {u"https://doc.example/C%2B%2B"_s});
}

TEST_F(WebPanelTest, ChosenTopicAndAddressSurviveARestartAndBadStoredIndexesSelectNothing)
{
    panel->fillTopics();
    EXPECT_EQ(panel->TntComboBox1->count(), 3);
    EXPECT_EQ(panel->TntComboBox1->itemText(2), u"Wörterbücher"_s);
    EXPECT_EQ(panel->TntComboBox1->currentIndex(), -1) << "no stored topic selects none";

    choose(u"Suchmaschinen"_s, 2);
    panel->TntListBox1Click();
    EXPECT_EQ(t.settings.values.value(u"Themen-Webseite"_s), u"1"_s) << "topics are sorted";
    EXPECT_EQ(t.settings.values.value(u"Ausgewaehlte_Webseite"_s), u"2"_s);
    const auto restart = [&] {
        panel = std::make_unique<WebPanel>(t.context, host, bar, &window);
        panel->fillTopics();
    };
    restart();
    EXPECT_EQ(panel->TntComboBox1->currentText(), u"Suchmaschinen"_s);
    EXPECT_EQ(panel->TntListBox1->currentRow(), 2);
    EXPECT_EQ(t.settings.values.value(u"Ausgewaehlte_Webseite"_s), u"2"_s);

    t.settings.values[u"Ausgewaehlte_Webseite"_s] = u"9"_s;
    restart();
    EXPECT_EQ(panel->TntListBox1->count(), 3);
    EXPECT_EQ(selectedAddress(), QString());
    t.settings.values[u"Themen-Webseite"_s] = u"7"_s;
    restart();
    EXPECT_EQ(panel->TntComboBox1->currentIndex(), -1);

    QFile::remove(t.context.state.adressenPath);
    panel->TntListBox1->addItem(u"alt"_s);
    panel->fillTopics();
    EXPECT_EQ(panel->TntListBox1->count(), 0);
}

TEST_F(WebPanelTest, HintFollowsTheSelectedAddressAndTheSelectionIsTheMainWindowColourDarkened)
{
    choose(u"Suchmaschinen"_s, 0);
    panel->TntListBox1MouseMove();
    EXPECT_TRUE(panel->TntListBox1->toolTip().startsWith(u"Grünes Symbol: [>]"_s));
    panel->TntListBox1->setCurrentRow(1);
    panel->TntListBox1MouseMove();
    EXPECT_TRUE(panel->TntListBox1->toolTip().startsWith(u"Weißes Symbol: [+]"_s));

    host.background = QColor(100, 201, 55); // ten percent darker
    EXPECT_EQ(panel->selectionColor(), QColor(90, 180, 49));
}
