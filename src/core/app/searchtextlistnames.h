#pragma once

#include "core/app/viewstate.h"

#include <QString>

namespace vespira::app {

// The suffixes of a database's search-text lists in "Datenbank/Suchwoerterlisten/", one per
// kind of text and one general list, in the order a deletion removes them. Spelled only
// here: the lists are written, read and deleted by these names.
inline constexpr const char16_t *SearchTextListSuffixes[] = {
    u"_Ansi_Suchwoerterliste.txt",
    u"_Utf8_Suchwoerterliste.txt",
    u"_MHT_Suchwoerterliste.txt",
    u"_Gesamt_OhneDB_Suchwoerterliste.txt",
};

// The suffix of a kind's list; DocumentKind::None is the general list.
inline QString searchTextListSuffix(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Ansi:
        return QString::fromUtf16(SearchTextListSuffixes[0]);
    case DocumentKind::Utf8:
        return QString::fromUtf16(SearchTextListSuffixes[1]);
    case DocumentKind::Mht:
        return QString::fromUtf16(SearchTextListSuffixes[2]);
    case DocumentKind::None:
        break;
    }
    return QString::fromUtf16(SearchTextListSuffixes[3]);
}

} // namespace vespira::app
