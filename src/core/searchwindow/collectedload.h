#pragma once

#include "core/app/viewstate.h"

#include <QString>

namespace vespira::searchwindow {

// Whether a kind's collected text can be loaded into the view: a database is chosen and its
// file of that kind holds at least 4 bytes (a byte-order mark alone holds no entry).
bool collectedTextLoadable(const QString &programFolder, const QString &database, app::DocumentKind kind);

// What the first bytes of a file tell the loader before the viewer opens it.
struct CollectedTextHead
{
    bool opened = false;
    bool utf16 = false;     // FF FE or FE FF: the viewer reads it as UTF-16
    bool utf8Mark = false;  // EF BB BF
    qint64 size = 0;
};
CollectedTextHead readCollectedTextHead(const QString &path);

// The caption for a file too small to hold an entry (under 4 bytes); empty when the file
// holds entries or the kind has no such caption.
QString emptyCollectedTextCaption(app::DocumentKind kind, const CollectedTextHead &head);

} // namespace vespira::searchwindow
