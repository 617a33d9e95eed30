#pragma once

// Builds a database from folders of HTML, MHT and EML documents, or brings one up to date.
//
//   producer::IndexOptions options;
//   options.programFolder = folder;     // ends with "/"
//   options.name = u"Beispiel"_s;
//   options.folders = {u"/daten/anna/docs"_s};
//   const auto summary = producer::buildDatabase(options, onProgress, onSkip);
//
//   auto again = producer::storedOptions(folder, u"Beispiel"_s);  // its folders and kinds
//   again.reuse = true;                                           // an update
//   producer::buildDatabase(again, onProgress, onSkip);
//
// Files ending in .htm/.html/.xhtml go to the UTF-8 collected file, .mht/.mhtml/.eml to
// the UTF-16LE one, each with its title-position file and its trigram index; the file list
// names every document. Beside them stand the folders and kinds ("NAME_Quellen.txt") and
// the size and modification time of every document ("NAME_Dokumentstand.txt").
// An update takes the text of a document whose size and time are unchanged from the
// existing collected file instead of extracting it; since extraction is the same for the
// same bytes, the files it writes are those a rebuild would write.
// Documents stand in path order, so the same folder always gives the same files. Worker
// threads read and extract, the calling thread writes in order, and the trigram index of a
// collected file is built as it is written (index::FollowingBuild) unless it is carried over. Everything is written
// under temporary names and renamed into place at the end: a failure or a stop through
// the progress callback leaves an earlier database as it was and no stray files.
// Throws Error (German message) for a bad name, a missing folder, no kind chosen, an
// existing database without `replace`, no documents at all, or a file that cannot be written.

#include "producer/sources.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vespira::producer {

struct IndexOptions
{
    QString programFolder;
    QString name;
    QStringList folders;
    DocumentKinds kinds;
    bool replace = false;
    // Take the text of unchanged documents from the database being replaced.
    bool reuse = false;
    int threads = 0; // 0: one per processor core
    // Offsets in the title-position files are 32-bit; a document that would grow a
    // collected file beyond this is skipped.
    qint64 maxCollectedBytes = 2147483647;
};

struct IndexProgress
{
    qint64 filesDone = 0;
    qint64 filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
};

// Returning false stops the build; nothing of it remains.
using IndexProgressFn = std::function<bool(const IndexProgress &)>;
// A file or folder that was left out, and why (German).
using SkipFn = std::function<void(const QString &path, const QString &reason)>;

struct IndexSummary
{
    QString name; // as written (an existing database keeps the letter case of its name)
    qint64 documents = 0;
    qint64 htmlBytes = 0; // bytes of the documents read
    qint64 textBytes = 0; // bytes written to the collected files
    qint64 indexBytes = 0; // bytes of their trigram index files
    qint64 skipped = 0;
    qint64 reused = 0;  // documents whose text was taken over
    qint64 removed = 0; // documents the replaced database held and this one does not
    int indexesCarried = 0; // trigram index files carried over from the replaced database
    double seconds = 0;
    bool cancelled = false;
};

IndexSummary buildDatabase(const IndexOptions &options, const IndexProgressFn &progress, const SkipFn &onSkip);

// The options that rebuild an existing database from the folders and kinds stored with it
// (replace set, reuse not). A database made before they were stored gives its first folder
// through the header of its file list. Throws Error (German) when the database does not
// exist or names no folder.
IndexOptions storedOptions(const QString &programFolder, const QString &name);

// "/daten/anna/a.htm" -> "Z:\daten\anna\a.htm".
QString windowsPath(const QString &nativeAbsolutePath);

// Empty when the name can be a database name, else the German reason.
QString checkDatabaseName(const QString &name);

} // namespace vespira::producer
