#include "core/db/dbfiles.h"

#include "core/app/databasefile.h"
#include "core/app/searchtextlistnames.h"
#include "core/common/paths.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::db {

QString collectedTextSuffix(TextKind kind)
{
    switch (kind) {
    case TextKind::Utf8: return QString::fromUtf16(suffix::Utf8Text);
    case TextKind::Mht: return QString::fromUtf16(suffix::MhtText);
    case TextKind::Ansi: return QString::fromUtf16(suffix::AnsiText);
    }
    return {};
}

QString titlePositionsSuffix(TextKind kind)
{
    switch (kind) {
    case TextKind::Utf8: return QString::fromUtf16(suffix::Utf8Titles);
    case TextKind::Mht: return QString::fromUtf16(suffix::MhtTitles);
    case TextKind::Ansi: return QString::fromUtf16(suffix::AnsiTitles);
    }
    return {};
}

QString filePath(const QString &programFolder, const QString &name, const QString &fileSuffix)
{
    return app::resolveDatabaseFile(programFolder,
                                    paths::withSlash(programFolder) + QString::fromUtf16(paths::Datenbank), name,
                                    fileSuffix);
}

QString fileListPath(const QString &programFolder, const QString &name)
{
    return filePath(programFolder, name, QString::fromUtf16(suffix::FileList));
}

QString collectedTextPath(const QString &programFolder, const QString &name, TextKind kind)
{
    return filePath(programFolder, name, collectedTextSuffix(kind));
}

QString titlePositionsPath(const QString &programFolder, const QString &name, TextKind kind)
{
    return filePath(programFolder, name, titlePositionsSuffix(kind));
}

QStringList allRelativeFiles(const QString &name)
{
    const QString db = QString::fromUtf16(paths::Datenbank) + name;
    const QString lists = QString::fromUtf16(paths::Suchwoerterlisten) + name;
    QStringList files {
        db + QString::fromUtf16(suffix::Log),
        db + QString::fromUtf16(suffix::FileList),
        db + QString::fromUtf16(suffix::MhtFileList),
        db + QString::fromUtf16(suffix::MhtTempFileList),
        db + QString::fromUtf16(suffix::AnsiText),
        db + QString::fromUtf16(suffix::Utf8Text),
        db + QString::fromUtf16(suffix::MhtText),
        db + QString::fromUtf16(suffix::AnsiTitles),
        db + QString::fromUtf16(suffix::Utf8Titles),
        db + QString::fromUtf16(suffix::MhtTitles),
        db + QString::fromUtf16(suffix::AnsiSortedList),
        db + QString::fromUtf16(suffix::MhtSortedList),
        db + QString::fromUtf16(suffix::Utf8SortedList),
        db + QString::fromUtf16(suffix::Utf8Trigrams),
        db + QString::fromUtf16(suffix::MhtTrigrams),
        db + QString::fromUtf16(suffix::Sources),
        db + QString::fromUtf16(suffix::DocumentStamps),
    };
    for (const char16_t *listSuffix : app::SearchTextListSuffixes)
        files << lists + QString::fromUtf16(listSuffix);
    return files;
}

} // namespace vespira::db
