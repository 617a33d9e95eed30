#pragma once

#include "core/db/titlepositions.h"

#include <QString>

#include <functional>
#include <optional>

namespace vespira::searchwindow {

// The title display under the document view: the view position and the title of the
// document whose block holds it.

// The title of the block that holds position: the last entry whose offset is at or below
// it (the later one when two share an offset). nullopt before the first offset, for an
// empty table and for a block without a title. A position equal to a block's start
// belongs to that block.
std::optional<QString> titleAt(const QList<db::TitlePositions::Entry> &entries, qint64 position);

// "1.234.567" in the user's locale, with "  \"title\"" appended when there is a title.
QString titleCaption(qint64 position, const std::optional<QString> &title);

// Cuts 7 characters at a time off the end while tooWide(caption) holds and the caption is
// not empty, then appends "..." when anything was cut.
QString shortenCaption(QString caption, const std::function<bool(const QString &)> &tooWide);

// Where the memo selection goes after the view was reloaded: the remembered start when the
// remembered first line occurs in the current first line, else one line further down
// (current first line's length + the line break + the remembered start).
qint64 restoredSelectionStart(const QString &rememberedFirstLine, qint64 rememberedStart,
                              const QString &currentFirstLine);

} // namespace vespira::searchwindow
