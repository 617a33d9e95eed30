#include "core/app/databasefile.h"

#include "core/app/catalog.h"
#include "core/common/paths.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace vespira::app {

namespace {

QString resolve(const std::function<QStringList()> &catalog, const QString &folder, const QString &name,
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
    if (!otherSpelling.isEmpty() && !spelledForAnother(catalog(), name))
        return dir + otherSpelling;
    return exact;
}

} // namespace

bool spelledForAnother(const QStringList &catalog, const QString &name)
{
    bool listed = false;
    int others = 0;
    for (const QString &entry : catalog) {
        if (entry == name)
            listed = true;
        else if (entry.compare(name, Qt::CaseInsensitive) == 0)
            ++others;
    }
    return others > (listed ? 0 : 1);
}

QString resolveDatabaseFile(const QString &programFolder, const QString &folder, const QString &name,
                            const QString &fileSuffix)
{
    // Read only when a file spelled otherwise turns up: the catalog costs a second listing.
    const auto catalog = [&] { return LiesNamenDatenbanken(paths::withSlash(programFolder)); };
    return resolve(catalog, folder, name, fileSuffix);
}

QString resolveDatabaseFileIn(const QStringList &catalog, const QString &folder, const QString &name,
                              const QString &fileSuffix)
{
    return resolve([&] { return catalog; }, folder, name, fileSuffix);
}

} // namespace vespira::app
