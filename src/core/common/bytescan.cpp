#include "core/common/bytescan.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VESPIRA_X86 1
#endif

namespace vespira {

namespace {

// Share of each byte in the UTF-8 text of German and English documentation (the collected
// file of Debian's manuals), scaled so that the blank is 255; a byte that occurs at all is
// at least 1.
constexpr unsigned char Frequency[256] = {
#include "core/common/bytefrequency.inc"
};

int formsOf(const ByteProbe &probe)
{
    return probe.count <= 2 ? probe.count : 4;
}

bool probeHolds(const ByteProbe &probe, unsigned char byte)
{
    for (int i = 0; i < probe.count; ++i)
        if (probe.forms[size_t(i)] == byte)
            return true;
    return false;
}

// Positions [pos, to] one by one: the end of a range, and machines without vectors.
CandidateBlock scalarBlock(const unsigned char *data, qint64 pos, qint64 to, const ProbePair &p)
{
    while (pos <= to) {
        const qint64 end = std::min(to, pos + 63);
        uint64_t mask = 0;
        for (qint64 i = pos; i <= end; ++i)
            if ((p.first.count == 0 || probeHolds(p.first, data[i + p.first.offset]))
                && (p.second.count == 0 || probeHolds(p.second, data[i + p.second.offset])))
                mask |= uint64_t(1) << (i - pos);
        if (mask != 0)
            return {pos, mask, end + 1};
        pos = end + 1;
    }
    return {};
}

#ifdef VESPIRA_X86

// The hardware prefetcher stops at every page edge of a mapped file; asking for the bytes a
// page ahead keeps the scan from waiting for memory there (a fifth less time on a large
// file). A prefetch never faults, so it may point past the end of the data.
constexpr qint64 PrefetchAhead = 4096;

template <int N>
__m128i anyOf128(__m128i v, const __m128i *forms)
{
    __m128i m = _mm_cmpeq_epi8(v, forms[0]);
    for (int i = 1; i < N; ++i)
        m = _mm_or_si128(m, _mm_cmpeq_epi8(v, forms[i]));
    return m;
}

template <int NA, int NB>
CandidateBlock sse2Block(const unsigned char *data, qint64 from, qint64 to, const ProbePair &p)
{
    __m128i a[4], b[4];
    for (int i = 0; i < 4; ++i) {
        a[i] = _mm_set1_epi8(char(p.first.forms[size_t(std::min(i, p.first.count - 1))]));
        b[i] = _mm_set1_epi8(char(p.second.forms[size_t(std::min(i, p.second.count - 1))]));
    }
    const unsigned char *pa = data + p.first.offset;
    const unsigned char *pb = data + p.second.offset;
    qint64 pos = from;
    for (; pos + 15 <= to; pos += 16) {
        if ((pos & 63) == 0)
            _mm_prefetch(reinterpret_cast<const char *>(pa + pos + PrefetchAhead), _MM_HINT_T0);
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pa + pos));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pb + pos));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(anyOf128<NA>(va, a), anyOf128<NB>(vb, b))));
        if (mask != 0)
            return {pos, mask, pos + 16};
    }
    return scalarBlock(data, pos, to, p);
}

template <int N>
__attribute__((target("avx2"))) __m256i anyOf256(__m256i v, const __m256i *forms)
{
    __m256i m = _mm256_cmpeq_epi8(v, forms[0]);
    for (int i = 1; i < N; ++i)
        m = _mm256_or_si256(m, _mm256_cmpeq_epi8(v, forms[i]));
    return m;
}

template <int NA, int NB>
__attribute__((target("avx2"))) CandidateBlock avx2Block(const unsigned char *data, qint64 from, qint64 to,
                                                         const ProbePair &p)
{
    __m256i a[4], b[4];
    for (int i = 0; i < 4; ++i) {
        a[i] = _mm256_set1_epi8(char(p.first.forms[size_t(std::min(i, p.first.count - 1))]));
        b[i] = _mm256_set1_epi8(char(p.second.forms[size_t(std::min(i, p.second.count - 1))]));
    }
    const unsigned char *pa = data + p.first.offset;
    const unsigned char *pb = data + p.second.offset;
    qint64 pos = from;
    // Two vectors a round: the loop's own cost is then small beside the loads.
    for (; pos + 63 <= to; pos += 64) {
        _mm_prefetch(reinterpret_cast<const char *>(pa + pos + PrefetchAhead), _MM_HINT_T0);
        const __m256i va0 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pa + pos));
        const __m256i vb0 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pb + pos));
        const __m256i va1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pa + pos + 32));
        const __m256i vb1 = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pb + pos + 32));
        const __m256i m0 = _mm256_and_si256(anyOf256<NA>(va0, a), anyOf256<NB>(vb0, b));
        const __m256i m1 = _mm256_and_si256(anyOf256<NA>(va1, a), anyOf256<NB>(vb1, b));
        if (!_mm256_testz_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m0, m1))) {
            const uint64_t mask = uint64_t(uint32_t(_mm256_movemask_epi8(m0)))
                | uint64_t(uint32_t(_mm256_movemask_epi8(m1))) << 32;
            return {pos, mask, pos + 64};
        }
    }
    for (; pos + 31 <= to; pos += 32) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pa + pos));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pb + pos));
        const uint32_t mask = uint32_t(_mm256_movemask_epi8(_mm256_and_si256(anyOf256<NA>(va, a), anyOf256<NB>(vb, b))));
        if (mask != 0)
            return {pos, mask, pos + 32};
    }
    return scalarBlock(data, pos, to, p);
}

using BlockFn = CandidateBlock (*)(const unsigned char *, qint64, qint64, const ProbePair &);

int slot(int forms)
{
    return forms == 1 ? 0 : forms == 2 ? 1 : 2;
}

BlockFn pick(int formsA, int formsB)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    static const BlockFn sse2[3][3] = {
        {sse2Block<1, 1>, sse2Block<1, 2>, sse2Block<1, 4>},
        {sse2Block<2, 1>, sse2Block<2, 2>, sse2Block<2, 4>},
        {sse2Block<4, 1>, sse2Block<4, 2>, sse2Block<4, 4>},
    };
    static const BlockFn wide[3][3] = {
        {avx2Block<1, 1>, avx2Block<1, 2>, avx2Block<1, 4>},
        {avx2Block<2, 1>, avx2Block<2, 2>, avx2Block<2, 4>},
        {avx2Block<4, 1>, avx2Block<4, 2>, avx2Block<4, 4>},
    };
    return (avx2 ? wide : sse2)[slot(formsA)][slot(formsB)];
}

#endif

} // namespace

unsigned char byteFrequency(unsigned char byte)
{
    return Frequency[byte];
}

namespace detail {

int probeCost(const ByteProbe &probe, int unitSize)
{
    int cost = 0;
    for (int i = 0; i < probe.count; ++i) {
        const unsigned char form = probe.forms[size_t(i)];
        cost += (unitSize == 2 && form == 0) ? 1024 : Frequency[form];
    }
    return cost;
}

ByteProbe makeProbe(qint64 offset, const std::vector<unsigned char> &forms)
{
    ByteProbe probe;
    probe.offset = offset;
    for (const unsigned char form : forms) {
        if (probe.count < 4 && !probeHolds(probe, form))
            probe.forms[size_t(probe.count++)] = form;
    }
    return probe;
}

} // namespace detail

CandidateBlock nextCandidates(const unsigned char *data, qint64 from, qint64 to, const ProbePair &probes)
{
    if (from > to)
        return {};
    if (probes.first.count == 0 || probes.second.count == 0) {
        if (probes.first.count == 0 && probes.second.count == 0) {
            const qint64 end = std::min(to, from + 63);
            const int n = int(end - from + 1);
            return {from, n == 64 ? ~uint64_t(0) : (uint64_t(1) << n) - 1, end + 1};
        }
        return scalarBlock(data, from, to, probes);
    }
#ifdef VESPIRA_X86
    return pick(formsOf(probes.first), formsOf(probes.second))(data, from, to, probes);
#else
    return scalarBlock(data, from, to, probes);
#endif
}

} // namespace vespira
