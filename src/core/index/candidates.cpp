#include "core/index/candidates.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace vespira::index {

Candidates Candidates::everything(std::shared_ptr<const std::vector<qint64>> starts, qint64 fileSize, bool damaged)
{
    Candidates c;
    c.m_starts = starts ? std::move(starts) : std::make_shared<const std::vector<qint64>>();
    c.m_fileSize = fileSize >= 0 ? fileSize : std::numeric_limits<qint64>::max();
    c.m_damaged = damaged;
    c.m_bytes = c.m_fileSize;
    c.m_runs = 1;
    return c;
}

Candidates Candidates::some(std::shared_ptr<const std::vector<qint64>> starts, qint64 fileSize,
                            std::vector<uint64_t> bits)
{
    Candidates c;
    c.m_starts = std::move(starts);
    c.m_fileSize = fileSize;
    c.m_narrows = true;
    c.m_bits = std::move(bits);
    const qint64 n = qint64(c.m_starts->size());
    c.m_bits.resize(size_t((n + 63) / 64));
    if (n % 64 != 0 && !c.m_bits.empty())
        c.m_bits.back() &= (uint64_t(1) << (n % 64)) - 1;
    bool inRun = false;
    for (qint64 b = 0; b < n; ++b) {
        const bool set = c.isCandidate(b);
        if (set) {
            ++c.m_count;
            c.m_bytes += c.startOf(b + 1) - c.startOf(b);
            c.m_runs += !inRun;
        }
        inRun = set;
    }
    return c;
}

bool Candidates::scanInstead(qint64 costPerJump) const
{
    if (!m_narrows)
        return true;
    // Three quarters: the skipping pays for its own bookkeeping only below that.
    const double cost = double(m_bytes) + double(m_runs) * double(costPerJump);
    return cost >= 0.75 * double(m_fileSize);
}

bool Candidates::isCandidate(qint64 block) const
{
    return (m_bits[size_t(block / 64)] >> (block % 64)) & 1;
}

qint64 Candidates::startOf(qint64 block) const
{
    return block < qint64(m_starts->size()) ? (*m_starts)[size_t(block)] : m_fileSize;
}

qint64 Candidates::nextSet(qint64 block) const
{
    const qint64 n = qint64(m_starts->size());
    if (block >= n)
        return n;
    size_t w = size_t(block / 64);
    uint64_t word = m_bits[w] & (~uint64_t(0) << (block % 64));
    while (word == 0) {
        if (++w >= m_bits.size())
            return n;
        word = m_bits[w];
    }
    return std::min<qint64>(n, qint64(w) * 64 + std::countr_zero(word));
}

qint64 Candidates::nextClear(qint64 block) const
{
    const qint64 n = qint64(m_starts->size());
    if (block >= n)
        return n;
    size_t w = size_t(block / 64);
    uint64_t word = ~m_bits[w] & (~uint64_t(0) << (block % 64));
    while (word == 0) {
        if (++w >= m_bits.size())
            return n;
        word = ~m_bits[w];
    }
    return std::min<qint64>(n, qint64(w) * 64 + std::countr_zero(word));
}

qint64 Candidates::blockOf(qint64 p) const
{
    const auto &s = *m_starts;
    const auto it = std::upper_bound(s.begin(), s.end(), p);
    return it == s.begin() ? 0 : qint64(it - s.begin()) - 1;
}

qint64 Candidates::nextCandidateFrom(qint64 p) const
{
    p = std::max<qint64>(p, 0);
    if (p >= m_fileSize)
        return m_fileSize;
    if (!m_narrows)
        return p;
    const qint64 block = blockOf(p);
    if (isCandidate(block))
        return p;
    return startOf(nextSet(block + 1));
}

qint64 Candidates::nextCandidateBlockStart(qint64 p) const
{
    p = std::max<qint64>(p, 0);
    if (p >= m_fileSize)
        return m_fileSize;
    const auto &s = *m_starts;
    const qint64 first = qint64(std::lower_bound(s.begin(), s.end(), p) - s.begin());
    if (!m_narrows)
        return first < qint64(s.size()) ? s[size_t(first)] : m_fileSize;
    return startOf(nextSet(first));
}

Candidates::Span Candidates::span(qint64 p) const
{
    const qint64 begin = nextCandidateFrom(p);
    if (begin >= m_fileSize)
        return {m_fileSize, m_fileSize};
    if (!m_narrows)
        return {begin, m_fileSize};
    return {begin, startOf(nextClear(blockOf(begin)))};
}

} // namespace vespira::index
