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
#include <memory>
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
    int slices = 0; // sorted runs and pieces merged at the end
};

// Receives the index file front to back, in pieces.
using ByteSink = std::function<void(const QByteArray &bytes)>;

// Progress is (bytes of text read, size of the file); returning false cancels: the result
// says so and the sink has received only part of a file.
BuildResult buildTrigramIndex(const BuildInput &input, const ByteSink &write, const Progress &progress);

// The index of a collected file that is still being written, built while it grows: a thread
// of its own reads and folds the text the writer has put in the file so far, so that at the
// end only the rest of the text and the writing of the index are left. With one core the
// writer can as well read on its own thread, between its writes.
//
//   index::FollowingBuild build(input);          // input.titlesPath is not read
//   for each block: build.addTitle(offset); write it; build.written(bytesInTheFile);
//   const auto result = build.finish(sink, progress);   // the file complete
//
// The index is the one buildTrigramIndex writes for the finished file with a title-position
// file of the offsets given, whatever the pieces the file grew by. Memory stays bounded as
// there: slices that fill up are spilled by the thread. Destroying the object before finish
// stops the thread and removes its scratch file. Progress is reported by finish alone, on
// the calling thread.
class FollowingBuild
{
public:
    enum class Reader {
        OwnThread, // errors it meets come from finish
        Writer,    // written() reads and throws what reading throws
    };
    // New text is read once readStep bytes of it are written (tests: after every piece).
    explicit FollowingBuild(const BuildInput &input, Reader reader = Reader::OwnThread,
                            qint64 readStep = qint64(1) << 19);
    ~FollowingBuild();
    FollowingBuild(const FollowingBuild &) = delete;
    FollowingBuild &operator=(const FollowingBuild &) = delete;

    // A block is to start at offset, given before the file holds the byte there; offsets not
    // above the last one are passed over.
    void addTitle(qint64 offset);
    // The file holds at least its first size bytes as they will stay.
    void written(qint64 size);
    // Reads what is left of the finished file and writes its index; as buildTrigramIndex,
    // including the errors it throws (and those the thread met on the way). Once only.
    BuildResult finish(const ByteSink &write, const Progress &progress);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

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
