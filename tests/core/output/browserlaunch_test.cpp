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
    // Empty: the default handler opens the page.
    for (const auto &[setting, started] : {std::pair {u"opera"_s, QString()},
                                           std::pair {u"Firefox"_s, QString()}, // letter case counts
                                           std::pair {u"standard firefox"_s, QString()}, // "standard" comes first
                                           std::pair {u"firefox chrome"_s, u"firefox"_s},
                                           std::pair {u"internet explorer"_s, u"iexplore"_s},
                                           std::pair {u"edge chrome"_s, u"microsoft-edge"_s},
                                           std::pair {u"my chrome build"_s, u"google-chrome"_s}}) {
        Launch l {setting};
        l.start(u"/x.htm"_s);
        EXPECT_EQ(l.shell.started, started.isEmpty() ? QStringList {} : QStringList {started + u" /x.htm"_s})
            << setting.toStdString();
        EXPECT_EQ(l.shell.opened, started.isEmpty() ? QStringList {u"/x.htm"_s} : QStringList {})
            << setting.toStdString();
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
    EXPECT_EQ(firefox.dialogs.log(), QStringList {u"warning: Datei: firefox kann nicht geöffnet werden"_s});
    EXPECT_TRUE(firefox.shell.opened.isEmpty());

    // A failing default handler stays silent.
    Launch standard {u"standard"_s};
    standard.shell.openSucceeds = false;
    standard.start();
    EXPECT_TRUE(standard.dialogs.shown.isEmpty());
}

} // namespace
