#include "core/common/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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
#ifdef Q_OS_UNIX
    // One stat: the search asks this for every document it lists.
    struct stat status {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0
        && S_ISREG(status.st_mode);
#else
    const QFileInfo info(path);
    return info.exists() && info.isFile();
#endif
}

} // namespace vespira::paths
