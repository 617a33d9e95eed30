#include "core/common/installfolders.h"

#include "core/common/paths.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace vespira::paths {

QString installedShareFolder(const QString &executableFolder)
{
    const QString folder = QDir::cleanPath(executableFolder + u"/../share/vespira-html"_s);
    return QFileInfo(folder).isDir() ? withSlash(folder) : QString();
}

QString userDataFolder(const QString &xdgDataHome, const QString &home)
{
    const QString base = QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : withSlash(home) + u".local/share"_s;
    return withSlash(QDir::cleanPath(base)) + u"vespira-html/"_s;
}

} // namespace vespira::paths
