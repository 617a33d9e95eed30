#include "platform/qtsystem.h"

#include "platform/windowsocket.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QScreen>
#include <QStandardPaths>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vespira::platform {

int QtSystem::screenWidth() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 1024;
}

bool QtSystem::isAdministrator() const
{
    return geteuid() == 0;
}

bool QtSystem::windowClassExists(const QString &windowClass) const
{
    const QString path = windowSocketPath(windowClass);
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    const bool connected = socket.waitForConnected(200);
    socket.abort();
    return connected;
}

QList<BrowserEntry> scanBrowserEntries(const QStringList &folders)
{
    QList<BrowserEntry> entries;
    QStringList names;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList files = dir.entryList({u"*.desktop"_s}, QDir::Files);
        for (const QString &fileName : files) {
            QFile file(dir.filePath(fileName));
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
                continue;
            QString name;
            QString icon;
            bool browser = false;
            bool inEntry = false;
            while (!file.atEnd()) {
                const QString line = QString::fromUtf8(file.readLine()).trimmed();
                if (line.startsWith(u'[')) {
                    inEntry = line == u"[Desktop Entry]";
                    continue;
                }
                if (!inEntry)
                    continue;
                if (line.startsWith(u"Name="))
                    name = line.mid(5);
                else if (line.startsWith(u"Icon="))
                    icon = line.mid(5);
                else if (line.startsWith(u"Categories="))
                    browser = line.mid(11).split(u';').contains(u"WebBrowser"_s);
            }
            if (browser && !name.isEmpty() && !names.contains(name)) {
                names << name;
                entries.append({name, icon});
            }
        }
    }
    return entries;
}

QList<BrowserEntry> QtSystem::installedBrowsers() const
{
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    folders << u"/usr/share/applications"_s << u"/usr/local/share/applications"_s
            << u"/var/lib/flatpak/exports/share/applications"_s
            << QDir::homePath() + u"/.local/share/flatpak/exports/share/applications"_s
            << u"/var/lib/snapd/desktop/applications"_s;
    folders.removeDuplicates();
    return scanBrowserEntries(folders);
}

} // namespace vespira::platform
