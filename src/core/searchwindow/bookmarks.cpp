#include "core/searchwindow/bookmarks.h"

#include "core/app/settings.h"
#include "core/common/text.h"

namespace vespira::searchwindow {

QString bookmarkValueName(app::DocumentKind kind, const QString &database)
{
    switch (kind) {
    case app::DocumentKind::Ansi:
        return QString::fromUtf16(app::names::LesezeichenAnsi) + database;
    case app::DocumentKind::Utf8:
        return QString::fromUtf16(app::names::LesezeichenUtf8) + database;
    case app::DocumentKind::Mht:
        return QString::fromUtf16(app::names::LesezeichenUnicode) + database;
    case app::DocumentKind::None:
        break;
    }
    return {};
}

QString bookmarkText(qint64 offset)
{
    return QString::number(offset);
}

std::optional<qint64> bookmarkToRestore(const QString &stored)
{
    bool ok = false;
    const qint64 offset = text::trimControl(stored).toLongLong(&ok);
    if (!ok || offset <= 0)
        return std::nullopt;
    return offset;
}

} // namespace vespira::searchwindow
