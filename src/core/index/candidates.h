#pragma once

// The answer of a trigram index to one search text: the document blocks that can hold an
// occurrence, and the way from a position to the next place worth scanning. An occurrence
// found by the scan always starts inside a candidate block, so a scan that skips the rest
// finds the same occurrences in the same order.
//
//   const index::Candidates c = idx.candidates(text, false);
//   if (c.scanInstead()) { plain scan } else {
//       for (auto s = c.span(p); s.begin < s.end; s = c.span(s.end)) {
//           find the first occurrence that starts in [s.begin, s.end) ...
//       }
//   }
//
// Positions are byte offsets in the collected file; "end" is its size.

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <vector>

namespace vespira::index {

class Candidates
{
public:
    struct Span
    {
        qint64 begin = 0;
        qint64 end = 0;
    };

    // Every position is a candidate: the index cannot narrow this search (no index, a
    // text without a trigram, a damaged list, another reading of the file).
    static Candidates everything(std::shared_ptr<const std::vector<qint64>> starts, qint64 fileSize,
                                 bool damaged = false);
    // The blocks set in bits (one per block, lowest first).
    static Candidates some(std::shared_ptr<const std::vector<qint64>> starts, qint64 fileSize,
                           std::vector<uint64_t> bits);

    // Whether the index narrowed the search at all.
    bool narrows() const { return m_narrows; }
    // A list of the index turned out damaged while answering (the answer is everything).
    bool damaged() const { return m_damaged; }
    // The caller should just scan: the index does not narrow, or the candidates are so
    // many that jumping costs about what scanning does. costPerJump is what the caller
    // pays for starting a scan at a new place, in bytes it reads.
    bool scanInstead(qint64 costPerJump = 65536) const;

    qint64 blockCount() const { return m_narrows ? m_count : qint64(m_starts ? m_starts->size() : 0); }
    qint64 bytes() const { return m_bytes; }
    // Stretches of consecutive candidate blocks.
    qint64 runs() const { return m_runs; }

    // The first position at or after p that lies in a candidate block (p itself when its
    // block is one), or the file size.
    qint64 nextCandidateFrom(qint64 p) const;
    // The start (the '#' of its marker) of the first candidate block that starts at or
    // after p, or the file size.
    qint64 nextCandidateBlockStart(qint64 p) const;
    // From nextCandidateFrom(p) to the end of the stretch of candidate blocks it lies in;
    // {size, size} when none is left.
    Span span(qint64 p) const;

private:
    Candidates() = default;
    bool isCandidate(qint64 block) const;
    qint64 nextSet(qint64 block) const;   // first candidate block >= block, or block count
    qint64 nextClear(qint64 block) const; // first non-candidate block >= block, or block count
    qint64 blockOf(qint64 p) const;       // the block p lies in (0 for p before the first)
    qint64 startOf(qint64 block) const;

    std::shared_ptr<const std::vector<qint64>> m_starts;
    qint64 m_fileSize = 0;
    bool m_narrows = false;
    bool m_damaged = false;
    std::vector<uint64_t> m_bits;
    qint64 m_count = 0;
    qint64 m_bytes = 0;
    qint64 m_runs = 0;
};

} // namespace vespira::index
