#pragma once

// Builds the trigram index of one collected text file: for every document block (by the
// title-position file) the set of trigrams of its folded text (foldedtext.h), as posting
// lists. Memory stays bounded whatever the file size: a slice of (trigram, block) pairs at a
// time is sorted and spilled (slices.h), then the runs are merged.
//
//   index::BuildInput input {collectedPath, titlesPath, index::IndexedText::Utf8};
//   QSaveFile out(indexPath); ...
//   const auto result = index::buildTrigramIndex(input, [&](const QByteArray &b) { write(b); },
//                                                progress);
//
// Blocks: every title-position offset starts a block, and so does offset 0. An offset that
// does not stand at a line start (right after CR or LF) moves on to the next line start, so
// that no line, and so no occurrence of a text without line ends, spans two blocks; offsets
// beyond the file or out of order are passed over. Any title-position file therefore gives
// a correct index, a wrong one just a less selective one; a missing one gives one block.
//
// The stamp is taken before the text is read: a file that changes meanwhile leaves an index
// that reads as out of date. Throws Error (German) when the collected file cannot be read or
// the scratch file not written; whatever the sink throws goes through.

#include "core/common/progress.h"
#include "core/index/format.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace vespira::index {

struct BuildInput
{
    QString collectedPath;
    QString titlesPath;
    IndexedText kind = IndexedText::Utf8;
    // Where slices that do not fit in memory go; empty: beside the collected file, named
    // "." + its name + ".runs." + process id + ".tmp". Removed when the build ends.
    QString scratchPath;
    // (trigram, block) pairs a slice holds, 8 bytes each; tests shrink it to force merges.
    qint64 slicePairs = qint64(1) << 23;
};

struct BuildResult
{
    bool cancelled = false;
    qint64 textBytes = 0;
    qint64 indexBytes = 0;
    qint64 blocks = 0;
    qint64 trigrams = 0;
    int slices = 0;
};

// Receives the index file front to back, in pieces.
using ByteSink = std::function<void(const QByteArray &bytes)>;

// Progress is (bytes of text read, size of the file); returning false cancels: the result
// says so and the sink has received only part of a file.
BuildResult buildTrigramIndex(const BuildInput &input, const ByteSink &write, const Progress &progress);

// Posting lists in ascending trigram order, each with its blocks ascending and not empty;
// false when there are no more.
using ListFeed = std::function<bool(uint32_t &trigram, std::vector<uint32_t> &blocks)>;

// Writes an index file from its parts: the stamp of the collected file, its block starts
// (the first 0) and the posting lists. buildTrigramIndex writes through it once it has read
// the text, and so does an update that carries lists over (merge.h): the same parts give the
// same bytes. keepGoing is asked now and then; false cancels as above.
BuildResult writeTrigramIndex(IndexedText kind, const FileStamp &stamp, const std::vector<qint64> &starts,
                              const ListFeed &feed, const ByteSink &write, const QString &collectedPath,
                              const std::function<bool()> &keepGoing);

} // namespace vespira::index
