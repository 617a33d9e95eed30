#include "platform/instanceserver.h"
#include "platform/qtsystem.h"

#include "support/printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

using namespace vespira;
using namespace Qt::Literals::StringLiterals;

namespace {

// Points the per-user runtime folder at a fresh folder for one test.
class RuntimeFolder
{
public:
    RuntimeFolder()
        : m_saved {qgetenv("XDG_RUNTIME_DIR")}
        , m_wasSet {qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")}
    {
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
    }
    ~RuntimeFolder()
    {
        if (m_wasSet)
            qputenv("XDG_RUNTIME_DIR", m_saved);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
    bool m_wasSet;
};

} // namespace

TEST(BrowserEntries, NameAndIconOfTheDesktopEntryNotOfItsActions)
{
    QTemporaryDir dir;
    auto write = [&](const QString &name, const QByteArray &text) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(u"chromium.desktop"_s,
          "[Desktop Entry]\nName=Chromium\nName[de]=Chromium-Browser\nIcon=chromium\n"
          "Categories=Network;WebBrowser;\n\n[Desktop Action new-window]\nName=Neues Fenster\nIcon=window-new\n");
    write(u"editor.desktop"_s, "[Desktop Entry]\nName=Editor\nIcon=editor\nCategories=Utility;\n");
    write(u"lynx.desktop"_s, "[Desktop Entry]\nCategories=WebBrowser\nName=Lynx\n");
    const QList<platform::BrowserEntry> entries = platform::scanBrowserEntries({dir.path(), dir.path()});
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].name, u"Chromium"_s);
    EXPECT_EQ(entries[0].icon, u"chromium"_s);
    EXPECT_EQ(entries[1].name, u"Lynx"_s);
    EXPECT_TRUE(entries[1].icon.isEmpty());
}

TEST(InstanceServer, DeliversTheCloseRequestLine)
{
    const RuntimeFolder runtime;
    const QString name = u"vespira-test-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QList<QPair<int, int>> received;
    platform::InstanceServer server(name, [&](int m, int w) { received.append({m, w}); });
    ASSERT_TRUE(server.isListening());
    QLocalSocket client;
    client.connectToServer(runtime.path() + u'/' + name); // the user's own folder, not the shared one
    ASSERT_TRUE(client.waitForConnected(1000));
    client.write("5735 98\n5735 99");
    client.flush();
    client.disconnectFromServer();
    QElapsedTimer clock;
    clock.start();
    while (received.size() < 2 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0], qMakePair(5735, 98));
    EXPECT_EQ(received[1], qMakePair(5735, 99));

    platform::InstanceServer second(name, {}); // a running instance keeps its name
    EXPECT_FALSE(second.isListening());
}

TEST(QtSystem, SeesOnlyWindowsInTheUsersOwnRuntimeFolder)
{
    const RuntimeFolder runtime;
    const QString name = u"vespira-test-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QLocalServer stranger; // what any local user can put into the shared temporary folder
    ASSERT_TRUE(stranger.listen(QDir::tempPath() + u'/' + name));
    const platform::QtSystem system;
    EXPECT_FALSE(system.windowClassExists(name));

    QLocalServer own;
    ASSERT_TRUE(own.listen(runtime.path() + u'/' + name));
    EXPECT_TRUE(system.windowClassExists(name));
}
