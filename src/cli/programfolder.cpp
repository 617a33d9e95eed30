#include "cli/commands.h"
#include "core/common/installfolders.h"

#include <QCoreApplication>
#include <QDir>

namespace vespira::cli {

QString defaultProgramFolder()
{
    if (paths::installedShareFolder(QCoreApplication::applicationDirPath()).isEmpty())
        return QDir::currentPath();
    const QString folder = paths::userDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    QDir().mkpath(folder); // a failure shows when the command looks for its files there
    return folder;
}

} // namespace vespira::cli
