#pragma once

#include "core/app/viewstate.h"

#include <QString>

#include <optional>

namespace vespira::searchwindow {

// Bookmarks remember a byte offset in a database's collected text file, per database and
// kind, as decimal text in the settings store.

// "Lesezeichen_Ansi_", "Lesezeichen_Utf8_" or "Lesezeichen_Unicode_" (the MHT kind, UTF-16)
// + database; empty for DocumentKind::None.
QString bookmarkValueName(app::DocumentKind kind, const QString &database);

// The decimal text a bookmark is stored as.
QString bookmarkText(qint64 offset);

// The offset to restore from a stored value: a 64-bit decimal number above 0. A missing
// value, 0, a negative one or text that does not parse gives nullopt (the view starts at
// the top instead of the load failing).
std::optional<qint64> bookmarkToRestore(const QString &stored);

} // namespace vespira::searchwindow
