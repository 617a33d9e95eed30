#include "core/output/browserdetect.h"
#include "core/output/webaddresses.h"
#include "support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira::output;

TEST(WebSearchAddress, QueryAddressesTakeTheTextAsOneEncodedComponentOthersOpenBare)
{
    EXPECT_EQ(webSearchAddress(u"https://s.example/?q="_s, u"Haus "_s), u"https://s.example/?q=Haus%20"_s)
        << "a trailing blank is appended with the text";
    EXPECT_EQ(webSearchAddress(u"https://s.example/wiki/"_s, u" Käse"_s), u"https://s.example/wiki/%20K%C3%A4se"_s);
    EXPECT_EQ(webSearchAddress(u"https://s.example/?"_s, u"Haus"_s), u"https://s.example/?"_s)
        << "an address ending in \"?\" is no query address";
    EXPECT_EQ(webSearchAddress(u"https://s.example"_s, u"Haus"_s), u"https://s.example"_s);
}

TEST(WebSearchAddress, NoCharacterOfTheTextChangesTheAddress)
{
    EXPECT_EQ(webSearchAddress(u"https://s.example/?q="_s, u"C++"_s), u"https://s.example/?q=C%2B%2B"_s);
    EXPECT_EQ(webSearchAddress(u"https://s.example/?q="_s, u"C&A #1 100%"_s),
              u"https://s.example/?q=C%26A%20%231%20100%25"_s);
    // After a path address a "?" would start a query and a "/" a new path segment.
    EXPECT_EQ(webSearchAddress(u"https://s.example/wb/"_s, u"Was ist das?"_s),
              u"https://s.example/wb/Was%20ist%20das%3F"_s);
    EXPECT_EQ(webSearchAddress(u"https://s.example/wb/"_s, u"und/oder=x;y"_s),
              u"https://s.example/wb/und%2Foder%3Dx%3By"_s);
    EXPECT_EQ(webSearchAddress(u"https://s.example/?q="_s, u"a-b_c.d~e"_s), u"https://s.example/?q=a-b_c.d~e"_s);
}

TEST(WebSearchAddress, HintFollowsTheKindOfAddress)
{
    EXPECT_EQ(addressHint(u"https://s.example/?q="_s), u"Grünes Symbol: [>] Webseite sucht selbständig nach dem Suchtext."_s);
    EXPECT_EQ(addressHint(u"https://s.example/?"_s),
              u"Weißes Symbol: [+] Sie müssen den Suchtext auf der Webseite\r\nmit Hilfe der Zwischenablage einfügen bzw. eintippen."_s);
}

TEST(BrowserDetection, NamesOfferTheirIconsAndTheLastMatchingValueIsCurrent)
{
    BrowserRow row = PruefeWelcheBrowserInstalliert({{u"Internet Explorer"_s, {}}}, false, u"standard"_s);
    EXPECT_TRUE(row.offered(BrowserChoice::InternetExplorer));
    EXPECT_TRUE(row.offered(BrowserChoice::Edge)) << "Internet Explorer brings Edge along";
    EXPECT_TRUE(row.offered(BrowserChoice::Standard));
    EXPECT_FALSE(row.offered(BrowserChoice::Chrome));
    EXPECT_EQ(row.current, BrowserChoice::Standard);

    row = PruefeWelcheBrowserInstalliert({{u"Firefox ESR"_s, {}}, {u"Google Chrome"_s, {}}}, true, u"chrome"_s);
    EXPECT_TRUE(row.offered(BrowserChoice::Firefox));
    EXPECT_TRUE(row.offered(BrowserChoice::Chrome));
    EXPECT_TRUE(row.offered(BrowserChoice::Edge));
    EXPECT_FALSE(row.offered(BrowserChoice::InternetExplorer));
    EXPECT_EQ(row.hints[static_cast<int>(BrowserChoice::Firefox)], u"FireFox"_s);
    EXPECT_EQ(row.current, BrowserChoice::Chrome);

    EXPECT_FALSE(PruefeWelcheBrowserInstalliert({}, false, u"lynx"_s).current);
    // "internet explorer" contains no later word, "edge" is matched on its own.
    EXPECT_EQ(PruefeWelcheBrowserInstalliert({}, false, u"internet explorer"_s).current, BrowserChoice::InternetExplorer);
}

TEST(BrowserDetection, IconsComeFromTheMatchedEntryAndChromiumServesTheChromeIcon)
{
    // The launcher starts chromium when Google Chrome is missing, so Chromium offers the icon.
    BrowserRow row = PruefeWelcheBrowserInstalliert(
        {{u"Chromium"_s, u"chromium"_s}, {u"Firefox ESR"_s, u"/opt/firefox/browser/icon.png"_s}}, false, u"chrome"_s);
    EXPECT_TRUE(row.offered(BrowserChoice::Chrome));
    EXPECT_EQ(row.hints[static_cast<int>(BrowserChoice::Chrome)], u"Google Chrome"_s);
    EXPECT_EQ(row.icons[static_cast<int>(BrowserChoice::Chrome)], u"chromium"_s);
    EXPECT_EQ(row.icons[static_cast<int>(BrowserChoice::Firefox)], u"/opt/firefox/browser/icon.png"_s);
    EXPECT_EQ(row.current, BrowserChoice::Chrome);

    // Google Chrome is started first when both are there, so its icon wins whatever the order.
    row = PruefeWelcheBrowserInstalliert({{u"Chromium"_s, u"chromium"_s}, {u"Google Chrome"_s, u"google-chrome"_s}},
                                         false, u"standard"_s);
    EXPECT_EQ(row.icons[static_cast<int>(BrowserChoice::Chrome)], u"google-chrome"_s);

    // An entry without Icon= leaves the icon to the next matching entry, then to the dialog.
    row = PruefeWelcheBrowserInstalliert({{u"Google Chrome"_s, {}}, {u"Chromium"_s, u"chromium"_s}}, false, {});
    EXPECT_EQ(row.icons[static_cast<int>(BrowserChoice::Chrome)], u"chromium"_s);
    row = PruefeWelcheBrowserInstalliert({{u"Internet Explorer"_s, u"iexplore"_s}, {u"Microsoft Edge"_s, u"microsoft-edge"_s}},
                                         false, {});
    EXPECT_EQ(row.icons[static_cast<int>(BrowserChoice::InternetExplorer)], u"iexplore"_s);
    EXPECT_EQ(row.icons[static_cast<int>(BrowserChoice::Edge)], u"microsoft-edge"_s);
    EXPECT_TRUE(row.icons[static_cast<int>(BrowserChoice::Standard)].isEmpty());
}
