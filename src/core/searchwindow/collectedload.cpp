#include "core/searchwindow/collectedload.h"

#include "core/searchwindow/findinviewer.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace vespira::searchwindow {

namespace {

constexpr qint64 SmallestWithEntries = 4;

} // namespace

bool collectedTextLoadable(const QString &programFolder, const QString &database, app::DocumentKind kind)
{
    if (database.isEmpty())
        return false;
    const QFileInfo info(findFilePath(programFolder, database, kind, false));
    return info.isFile() && info.size() >= SmallestWithEntries;
}

CollectedTextHead readCollectedTextHead(const QString &path)
{
    CollectedTextHead head;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return head;
    head.opened = true;
    const QByteArray bytes = file.read(3);
    head.size = file.size();
    head.utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    head.utf8Mark = bytes.startsWith("\xEF\xBB\xBF");
    return head;
}

QString emptyCollectedTextCaption(app::DocumentKind kind, const CollectedTextHead &head)
{
    if (head.size >= SmallestWithEntries)
        return {};
    switch (kind) {
    case app::DocumentKind::Ansi:
        return u"ANSI-Dokument enthält keine Einträge:"_s;
    case app::DocumentKind::Utf8:
        return u"UTF8-Dokument enthält keine Einträge:"_s;
    case app::DocumentKind::Mht:
        if (head.utf16)
            return u"Unicode-Dokument enthält keine Einträge:"_s;
        if (head.utf8Mark)
            return u"Dokument enthält keine Einträge:"_s;
        return {};
    case app::DocumentKind::None:
        break;
    }
    return {};
}

} // namespace vespira::searchwindow
