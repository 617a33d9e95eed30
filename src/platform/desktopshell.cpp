#include "platform/desktopshell.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace vespira::platform {

bool DesktopShell::openUrl(const QString &pathOrAddress)
{
    const QUrl url = pathOrAddress.startsWith(u'/') ? QUrl::fromLocalFile(pathOrAddress)
                                                    : QUrl::fromUserInput(pathOrAddress);
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

QString DesktopShell::findExecutable(const QStringList &names) const
{
    for (const QString &name : names) {
        if (!QStandardPaths::findExecutable(name).isEmpty())
            return name;
    }
    return {};
}

void QtClipboard::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

} // namespace vespira::platform
