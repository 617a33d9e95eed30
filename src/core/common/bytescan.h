#pragma once

// The scanning primitive of every literal search over file bytes (the search run's stream
// search and the viewer's find): a candidate filter on two bytes of the pattern, then the
// caller's verification. The two bytes are the pattern's rarest in text, each with all the
// byte forms a match may hold there (both case forms, say), so few positions survive the
// filter and the verification, which knows the full rules (case folding, whole words),
// runs rarely. The filter tests 32 positions at a time with AVX2, 16 with SSE2.
//
//   const ProbePair probes = rarestProbes(formsAtOffset, patternLength);
//   const qint64 at = scanCandidates(data, from, to, probes, [&](qint64 pos) {
//       return matchesAt(data, pos);
//   });
//
// Invariant: the caller makes data[to + probes.reach()] readable; positions are indexes
// into data.

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <vector>

namespace vespira {

// The bytes a match may hold at one offset from its start.
struct ByteProbe
{
    qint64 offset = 0;
    std::array<unsigned char, 4> forms {};
    int count = 0; // 1 to 4; 0 makes every position a candidate
};

struct ProbePair
{
    ByteProbe first;
    ByteProbe second;

    // How far past a candidate position the filter reads.
    qint64 reach() const { return qMax(first.offset, second.offset); }
};

// How often a byte stands in German and English text, 0 (never) to 255 (the blank).
unsigned char byteFrequency(unsigned char byte);

// The two offsets of [0, length) whose forms are least frequent in text, with their forms;
// formsAt(offset) gives the forms a match may hold at offset (more than four make that
// offset unusable). With length 1, or no usable second offset, both probes are the same.
// unitSize 2 judges a zero byte as the most frequent, as in UTF-16 text.
template <typename FormsAt>
ProbePair rarestProbes(qint64 length, FormsAt &&formsAt, int unitSize = 1);

// A block of positions the filter let through: bit i of mask stands for position at + i.
struct CandidateBlock
{
    qint64 at = -1;    // -1: no candidate up to the end of the range
    uint64_t mask = 0;
    qint64 next = 0;   // where the scan goes on after this block
};

// The first block of candidates in [from, to] (to inclusive).
CandidateBlock nextCandidates(const unsigned char *data, qint64 from, qint64 to, const ProbePair &probes);

// The first position in [from, to] whose probes match and that verify(position) accepts;
// -1 when there is none.
template <typename Verify>
qint64 scanCandidates(const unsigned char *data, qint64 from, qint64 to, const ProbePair &probes,
                      Verify &&verify)
{
    while (from <= to) {
        const CandidateBlock block = nextCandidates(data, from, to, probes);
        if (block.at < 0)
            return -1;
        for (uint64_t bits = block.mask; bits != 0; bits &= bits - 1) {
            const qint64 pos = block.at + __builtin_ctzll(bits);
            if (verify(pos))
                return pos;
        }
        from = block.next;
    }
    return -1;
}

// Implementation of rarestProbes.
namespace detail {
int probeCost(const ByteProbe &probe, int unitSize);
ByteProbe makeProbe(qint64 offset, const std::vector<unsigned char> &forms);
} // namespace detail

template <typename FormsAt>
ProbePair rarestProbes(qint64 length, FormsAt &&formsAt, int unitSize)
{
    std::vector<ByteProbe> usable;
    for (qint64 offset = 0; offset < length; ++offset) {
        const std::vector<unsigned char> forms = formsAt(offset);
        if (!forms.empty() && forms.size() <= 4)
            usable.push_back(detail::makeProbe(offset, forms));
    }
    ProbePair pair;
    if (usable.empty())
        return pair; // no filter: every position is verified
    auto cost = [unitSize](const ByteProbe &p) { return detail::probeCost(p, unitSize); };
    size_t best = 0;
    for (size_t i = 1; i < usable.size(); ++i)
        if (cost(usable[i]) < cost(usable[best]))
            best = i;
    size_t second = best;
    for (size_t i = 0; i < usable.size(); ++i)
        if (i != best && (second == best || cost(usable[i]) < cost(usable[second])))
            second = i;
    pair.first = usable[best];
    pair.second = usable[second];
    return pair;
}

} // namespace vespira
