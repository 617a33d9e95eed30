#include "core/lists/listfiles.h"

#include "core/common/paths.h"
#include "core/db/dbfiles.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace vespira::lists {

QString statusPrefix(ListMode mode)
{
    switch (mode) {
    case ListMode::Ansi: return u"ANSI "_s;
    case ListMode::Utf8: return u"UTF8 "_s;
    case ListMode::Mht: return u"MHT "_s;
    }
    return {};
}

CodePage listCodePage(ListMode mode)
{
    switch (mode) {
    case ListMode::Ansi: return CodePage::Ansi;
    case ListMode::Utf8: return CodePage::Utf8;
    case ListMode::Mht: return CodePage::Utf16LE;
    }
    return CodePage::Utf8;
}

QString listFileSuffix(ListMode mode)
{
    switch (mode) {
    case ListMode::Ansi: return QString::fromUtf16(db::suffix::AnsiSortedList);
    case ListMode::Utf8: return QString::fromUtf16(db::suffix::Utf8SortedList);
    case ListMode::Mht: return QString::fromUtf16(db::suffix::MhtSortedList);
    }
    return {};
}

QString listFilePath(const QString &programFolder, const QString &name, ListMode mode)
{
    return db::filePath(programFolder, name, listFileSuffix(mode));
}

namespace {

bool sizeAtLeast(const QString &path, qint64 bytes)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() >= bytes;
}

} // namespace

LoadButtons loadButtonsFor(const QString &programFolder, const QString &name)
{
    LoadButtons buttons;
    buttons.ansi = sizeAtLeast(db::collectedTextPath(programFolder, name, db::TextKind::Ansi), 3);
    buttons.utf8 = sizeAtLeast(db::collectedTextPath(programFolder, name, db::TextKind::Utf8), 3);
    buttons.mht = sizeAtLeast(db::collectedTextPath(programFolder, name, db::TextKind::Mht), 5);
    return buttons;
}

std::optional<SortedListView> sortedListFor(const QString &programFolder, const QString &name,
                                            app::DocumentKind activeKind)
{
    ListMode mode {};
    QString kind;
    switch (activeKind) {
    case app::DocumentKind::Ansi: mode = ListMode::Ansi; kind = u"ANSI"_s; break;
    case app::DocumentKind::Utf8: mode = ListMode::Utf8; kind = u"UTF8"_s; break;
    case app::DocumentKind::Mht: mode = ListMode::Mht; kind = u"MHT"_s; break;
    case app::DocumentKind::None: return std::nullopt;
    }
    const QString path = listFilePath(programFolder, name, mode);
    if (!paths::isRegularFile(path))
        return std::nullopt;
    SortedListView view;
    view.path = path;
    view.loadAs = activeKind;
    view.kindPrefix = u"Sortierte "_s + kind + u"-Liste von "_s;
    view.label8Caption = u"Sortierte "_s + kind + u"-Liste von DB: \""_s + name + u'"';
    return view;
}

} // namespace vespira::lists
