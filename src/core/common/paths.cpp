#include "core/common/paths.h"

#include <QDir>
#include <QFileInfo>

namespace vespira::paths {

QString withSlash(const QString &folder)
{
    if (folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

QString decideProgramFolder(const QStringList &arguments, const QString &executableFolder,
                            const QString &workingDirectory)
{
    const bool hasArgument = arguments.size() > 1 && !arguments.at(1).isEmpty();
    return withSlash(hasArgument ? executableFolder : workingDirectory);
}

QString resolveNoCase(const QString &folder, const QString &name)
{
    const QString exact = withSlash(folder) + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return withSlash(folder) + entry;
    }
    return exact;
}

bool isRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

} // namespace vespira::paths
