#pragma once

// Builds a database from folders of HTML, MHT and EML documents.
//
//   producer::IndexOptions options;
//   options.programFolder = folder;     // ends with "/"
//   options.name = u"Beispiel"_s;
//   options.folders = {u"/daten/anna/docs"_s};
//   const auto summary = producer::buildDatabase(options, onProgress, onSkip);
//
// Files ending in .htm/.html/.xhtml go to the UTF-8 collected file, .mht/.mhtml/.eml to
// the UTF-16LE one, each with its title-position file and its trigram index; the file list
// names every document.
// Documents stand in path order, so the same folder always gives the same files. Worker
// threads read and extract, the calling thread writes in order. Everything is written
// under temporary names and renamed into place at the end: a failure or a stop through
// the progress callback leaves an earlier database as it was and no stray files.
// Throws Error (German message) for a bad name, a missing folder, an existing database
// without `replace`, no documents at all, or a file that cannot be written.

#include <QString>
#include <QStringList>

#include <functional>

namespace vespira::producer {

struct IndexOptions
{
    QString programFolder;
    QString name;
    QStringList folders;
    bool replace = false;
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
    double seconds = 0;
    bool cancelled = false;
};

IndexSummary buildDatabase(const IndexOptions &options, const IndexProgressFn &progress, const SkipFn &onSkip);

// "/daten/anna/a.htm" -> "Z:\daten\anna\a.htm".
QString windowsPath(const QString &nativeAbsolutePath);

// Empty when the name can be a database name, else the German reason.
QString checkDatabaseName(const QString &name);

} // namespace vespira::producer
