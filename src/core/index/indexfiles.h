#pragma once

// The trigram index files of a database, one beside each collected text file the search
// reads: "NAME_UTF8Trigramme.idx" for "NAME_UTF8Dokument.txt" and "NAME_MHTTrigramme.idx"
// for "NAME_MHTtext.txt", in Datenbank/.
//
//   const auto idx = index::openIndex(programFolder, name, db::TextKind::Utf8);
//   index::writeIndexFiles(programFolder, name, progress);      // `vespira trigrams`

#include "core/common/progress.h"
#include "core/db/dbfiles.h"
#include "core/index/builder.h"
#include "core/index/trigramindex.h"

#include <QString>

#include <vector>

namespace vespira::index {

// Said once per search that finds an index it cannot use (out of date or damaged).
inline constexpr char16_t OutdatedMessage[] = u"Index veraltet, es wird ohne Index gesucht";

// Utf8 and Mht only: the ANSI file has no index.
IndexedText indexedTextOf(db::TextKind kind);
QString indexSuffix(db::TextKind kind);
// programFolder + "Datenbank/" + the index file's name as it stands on disk.
QString indexPath(const QString &programFolder, const QString &name, db::TextKind kind);

// The index of a database's collected file for a search: Missing when either file is.
TrigramIndex openIndex(const QString &programFolder, const QString &name, db::TextKind kind);

struct IndexFileReport
{
    db::TextKind kind = db::TextKind::Utf8;
    QString path;
    bool removed = false; // its collected file is gone, so the index went too
    BuildResult build;
};

struct IndexFilesOutcome
{
    bool cancelled = false;
    std::vector<IndexFileReport> files;
};

// Writes the index of the database's UTF-8 and UTF-16 collected files, each under a
// temporary name renamed into place when whole; removes the index of a collected file the
// database does not have. Progress counts the bytes of both collected files. A cancel
// leaves every index file not yet renamed as it was. Throws Error (German) when a file
// cannot be read or written.
IndexFilesOutcome writeIndexFiles(const QString &programFolder, const QString &name, const Progress &progress);

} // namespace vespira::index
