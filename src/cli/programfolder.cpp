#include "cli/commands.h"
#include "core/common/installfolders.h"

#include <QCoreApplication>
#include <QDir>

// From the folder of the running program to that of vespira: vespira-index, which vespira
// runs for its index command, is installed elsewhere.
#ifndef VESPIRA_TOOL_DIR
#define VESPIRA_TOOL_DIR "."
#endif

namespace vespira::cli {

QString defaultProgramFolder()
{
    const QString toolFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/" VESPIRA_TOOL_DIR);
    if (paths::installedShareFolder(QDir::cleanPath(toolFolder)).isEmpty())
        return QDir::currentPath();
    const QString folder = paths::userDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
    QDir().mkpath(folder); // a failure shows when the command looks for its files there
    return folder;
}

} // namespace vespira::cli
