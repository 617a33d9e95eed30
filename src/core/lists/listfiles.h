#pragma once

// Which list a collected text file yields, and the files around a sorted-list build.
//
//   const QString out = listFilePath(programFolder, name, ListMode::Utf8);
//
// A list file is the six sorted lists of one collected text file, one entry per CR LF line,
// in the encoding of its mode (windows-1252, UTF-8 without mark, UTF-16 LE with FF FE).

#include "core/app/viewstate.h"
#include "core/common/textfile.h"

#include <QString>

#include <optional>

namespace vespira::lists {

// The list mode is the kind of the collected text file the build was asked for; it is never
// read back from a file name, which holds the database's name as well.
enum class ListMode { Ansi, Utf8, Mht };

// "ANSI ", "UTF8 " or "MHT ": the start of the window caption while a build runs.
QString statusPrefix(ListMode mode);
CodePage listCodePage(ListMode mode);
// "_Phrasen_Woerter_AnsiListe.txt" and the others.
QString listFileSuffix(ListMode mode);
// programFolder + "Datenbank/" + name + the suffix, as the file stands on disk.
QString listFilePath(const QString &programFolder, const QString &name, ListMode mode);

// Which of the three load buttons may be enabled after a build or when the panel closes:
// the ANSI and UTF-8 collected text files from 3 bytes, the MHT file from 5 bytes.
struct LoadButtons
{
    bool ansi = false;
    bool utf8 = false;
    bool mht = false;
};
LoadButtons loadButtonsFor(const QString &programFolder, const QString &name);

// What the document view needs to show the sorted list of the text it has loaded.
struct SortedListView
{
    QString path;                 // the list file, as it stands on disk
    app::DocumentKind loadAs;     // loader of the view: ANSI, UTF-8 or UTF-16 (Mht)
    QString kindPrefix;           // "Sortierte UTF8-Liste von " ...
    QString label8Caption;        // "Sortierte UTF8-Liste von DB: \"name\""
};

// The list file of the active kind, or nullopt when there is no active kind or its
// list file does not exist.
std::optional<SortedListView> sortedListFor(const QString &programFolder, const QString &name,
                                            app::DocumentKind activeKind);

} // namespace vespira::lists
