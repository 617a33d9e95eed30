#include "core/app/catalog.h"

#include "core/app/databasefile.h"
#include "core/app/searchtextlistnames.h"
#include "core/common/paths.h"
#include "core/common/text.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace vespira::app {

namespace {

constexpr const char16_t *databaseSuffixes[] = {
    u".log",
    u".dat",
    u"_mht.dat",
    u"_mht_temp.dat",
    u"_AnsiDokument.txt",
    u"_UTF8Dokument.txt",
    u"_MHTtext.txt",
    u"_Ansi_TitelPositionen.txt",
    u"_Utf8_TitelPositionen.txt",
    u"_MHT_TitelPositionen.txt",
    u"_Phrasen_Woerter_AnsiListe.txt",
    u"_Phrasen_Woerter_MHTListe.txt",
    u"_Phrasen_Woerter_Utf8Liste.txt",
    u"_UTF8Trigramme.idx",
    u"_MHTTrigramme.idx",
    u"_Quellen.txt",
    u"_Dokumentstand.txt",
};

} // namespace

QString databaseNameOf(const QString &entryName)
{
    const QString lower = entryName.toLower();
    if (lower.contains(u"_mht.dat"_s) || lower.contains(u"_temp.dat"_s))
        return {};
    // Searched case-insensitively in the name itself: upper-casing first would shift
    // positions for letters like "ß" that grow to two.
    const qsizetype at = entryName.indexOf(u".dat"_s, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString name = entryName;
    name.remove(at, 4);
    return name;
}

QStringList LiesNamenDatenbanken(const QString &programFolder)
{
    const QDir dir(programFolder + QString::fromUtf16(paths::Datenbank));
    const QStringList entries = dir.entryList({u"*.dat"_s},
                                              QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System
                                                  | QDir::NoDotAndDotDot,
                                              QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QString &entry : entries) {
        const QString name = databaseNameOf(entry);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

int restoreSelectionIndex(const QString &stored, int entryCount)
{
    if (entryCount <= 0)
        return -1;
    bool ok = false;
    const qint64 n = text::trimControl(stored).toLongLong(&ok, 10);
    if (!ok || n < 0 || n >= entryCount)
        return 0;
    return static_cast<int>(n);
}

QStringList databaseFiles(const QString &programFolder, const QString &name)
{
    QStringList files;
    const QString datenbank = programFolder + QString::fromUtf16(paths::Datenbank);
    const QString lists = programFolder + QString::fromUtf16(paths::Suchwoerterlisten);
    for (const char16_t *suffix : databaseSuffixes)
        files << datenbank + name + QString::fromUtf16(suffix);
    for (const char16_t *suffix : SearchTextListSuffixes)
        files << lists + name + QString::fromUtf16(suffix);
    return files;
}

QStringList deleteDatabaseFiles(const QString &programFolder, const QString &name)
{
    QStringList deleted;
    // Read once: with the ".dat" gone, a database spelled otherwise would look like this one.
    const QStringList catalog = LiesNamenDatenbanken(programFolder);
    const auto remove = [&](const QString &folder, const char16_t *suffix) {
        const QString onDisk = resolveDatabaseFileIn(catalog, programFolder + folder, name,
                                                     QString::fromUtf16(suffix));
        if (paths::isRegularFile(onDisk) && QFile::remove(onDisk))
            deleted << onDisk;
    };
    for (const char16_t *suffix : databaseSuffixes)
        remove(QString::fromUtf16(paths::Datenbank), suffix);
    for (const char16_t *suffix : SearchTextListSuffixes)
        remove(QString::fromUtf16(paths::Suchwoerterlisten), suffix);
    return deleted;
}

} // namespace vespira::app
