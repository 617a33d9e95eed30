#include "core/app/databasefile.h"

#include "core/app/catalog.h"
#include "core/common/paths.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace vespira::app {

namespace {

bool catalogSpellsOtherwise(const QString &programFolder, const QString &name)
{
    const QStringList names = LiesNamenDatenbanken(paths::withSlash(programFolder));
    return std::any_of(names.begin(), names.end(), [&](const QString &listed) {
        return listed != name && listed.compare(name, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

QString resolveDatabaseFile(const QString &programFolder, const QString &folder, const QString &name,
                            const QString &fileSuffix)
{
    const QString dir = paths::withSlash(folder);
    const QString wanted = name + fileSuffix;
    const QString exact = dir + wanted;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(dir).entryList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QString otherSpelling;
    for (const QString &entry : entries) {
        if (entry.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (entry.startsWith(name))
            return dir + entry;
        if (otherSpelling.isEmpty())
            otherSpelling = entry;
    }
    // Asked only when needed: the catalog costs a second listing.
    if (!otherSpelling.isEmpty() && !catalogSpellsOtherwise(programFolder, name))
        return dir + otherSpelling;
    return exact;
}

} // namespace vespira::app
