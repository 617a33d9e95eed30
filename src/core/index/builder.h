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
BuildResult buildTrigramIndex(const BuildInput &input, const ByteSink &write, const ProgressFn &progress);

} // namespace vespira::index
