#pragma once

// The trigram index of a collected file that an update put together from blocks of an
// earlier collected file and new blocks, without reading the text again: the trigrams of a
// block depend on its bytes alone (no trigram spans a line end, and every block starts at a
// line start), so the lists of the earlier index carry over to the blocks kept, renumbered,
// and those of an index of the new blocks alone fill in the rest. The file written is the one
// buildTrigramIndex writes for the new collected file.
//
//   const auto result = index::mergeTrigramIndex(input, sink, keepGoing);
//   if (!result) ...   // an index failed its checks: build the index from the text instead

#include "core/index/builder.h"
#include "core/index/trigramindex.h"

#include <optional>
#include <vector>

namespace vespira::index {

// Where block i of the new collected file comes from.
struct BlockOrigin
{
    bool fresh = false;   // a new block, else one of the earlier file
    uint32_t number = 0;  // its block number in the fresh index or in the earlier one
};

struct MergeInput
{
    QString collectedPath; // the new collected file, complete: its stamp goes into the header
    IndexedText kind = IndexedText::Utf8;
    std::vector<qint64> starts;        // block starts of the new file, the first 0
    std::vector<BlockOrigin> origins;  // one per start
    const TrigramIndex *earlier = nullptr; // usable, its blocks those of the earlier file
    const TrigramIndex *fresh = nullptr;   // usable, or null when no block is new
};

// nullopt when an index turns out damaged on the way (the sink then holds part of a file).
// Throws Error when the collected file cannot be read.
std::optional<BuildResult> mergeTrigramIndex(const MergeInput &input, const ByteSink &write,
                                             const std::function<bool()> &keepGoing);

} // namespace vespira::index
