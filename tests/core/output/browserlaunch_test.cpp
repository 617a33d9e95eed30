#include "core/output/browserlaunch.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::output;

namespace {

struct Launch
{
    explicit Launch(const QString &browser)
    {
        if (!browser.isNull())
            store.values[u"Browser"_s] = browser;
    }
    void start(const QString &address = u"/opt/vespira/Datenbank/Temp/Vespira_Ergebnis.htm"_s)
    {
        StarteInternetBrowser(address, settings, shell, dialogs, &current);
    }
    test::MemorySettings store;
    test::ScriptedDialogs dialogs;
    app::Settings settings {store, dialogs};
    test::FakeShell shell;
    QString current;
};

TEST(BrowserLaunch, MissingValueIsWrittenAsStandard)
{
    Launch l {QString {}};
    l.start(u"/p/ä ö.htm"_s);
    EXPECT_EQ(l.store.values.value(u"Browser"_s), u"standard"_s);
    EXPECT_EQ(l.current, u"standard"_s);
    EXPECT_EQ(l.shell.opened, QStringList {u"/p/ä ö.htm"_s}); // nothing lost on the way
    EXPECT_TRUE(l.shell.started.isEmpty());
}

TEST(BrowserLaunch, BranchOrderBySubstring)
{
    struct Case
    {
        QString setting;
        QString started; // empty: the default handler
    };
    const std::vector<Case> cases {
        {u"opera"_s, {}},
        {u"safari"_s, {}},
        {u"Firefox"_s, {}},                      // letter case counts
        {u"firefox"_s, u"firefox"_s},
        {u"standard firefox"_s, {}},             // "standard" comes first
        {u"firefox chrome"_s, u"firefox"_s},
        {u"internet explorer"_s, u"iexplore"_s},
        {u"edge chrome"_s, u"microsoft-edge"_s},
        {u"my chrome build"_s, u"google-chrome"_s},
    };
    for (const Case &c : cases) {
        Launch l {c.setting};
        l.start(u"/x.htm"_s);
        if (c.started.isEmpty()) {
            EXPECT_EQ(l.shell.opened, QStringList {u"/x.htm"_s}) << c.setting.toStdString();
            EXPECT_TRUE(l.shell.started.isEmpty()) << c.setting.toStdString();
        } else {
            EXPECT_EQ(l.shell.started, QStringList {c.started + u" /x.htm"_s}) << c.setting.toStdString();
            EXPECT_TRUE(l.shell.opened.isEmpty()) << c.setting.toStdString();
        }
        EXPECT_TRUE(l.dialogs.shown.isEmpty());
    }
}

TEST(BrowserLaunch, TakesTheFirstInstalledProgramAndWarnsWithoutFallback)
{
    Launch chrome {u"chrome"_s};
    chrome.shell.onPath = {u"chromium"_s, u"chromium-browser"_s};
    chrome.start(u"/x.htm"_s);
    EXPECT_EQ(chrome.shell.started, QStringList {u"chromium /x.htm"_s});

    Launch firefox {u"firefox"_s};
    firefox.shell.startSucceeds = false;
    firefox.start();
    ASSERT_EQ(firefox.dialogs.shown.size(), 1);
    EXPECT_EQ(firefox.dialogs.shown[0].kind, u"warning"_s);
    EXPECT_EQ(firefox.dialogs.shown[0].text, u"Datei: firefox kann nicht geöffnet werden"_s);
    EXPECT_TRUE(firefox.shell.opened.isEmpty());

    // A failing default handler stays silent.
    Launch standard {u"standard"_s};
    standard.shell.openSucceeds = false;
    standard.start();
    EXPECT_TRUE(standard.dialogs.shown.isEmpty());
}

} // namespace
