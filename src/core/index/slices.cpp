#include "core/index/slices.h"

#include "core/common/error.h"
#include "core/common/textfile.h"
#include "core/index/format.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace vespira::index {

namespace {

constexpr uint32_t TrigramSpace = 1u << 24;

// Stable passes over 12 bits of the trigram each, so the blocks stay ascending within a
// trigram: two passes over 4096 counters stay in cache where one over 2^24 would not.
void radixSortByTrigram(std::vector<uint64_t> &pairs)
{
    std::vector<uint64_t> scratch(pairs.size());
    for (const int shift : {32, 44}) {
        std::array<size_t, 4097> start {};
        for (const uint64_t p : pairs)
            ++start[((p >> shift) & 0xFFF) + 1];
        for (size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        for (const uint64_t p : pairs)
            scratch[start[(p >> shift) & 0xFFF]++] = p;
        pairs.swap(scratch);
    }
}

class MemorySource final : public ListSource
{
public:
    explicit MemorySource(std::vector<uint64_t> pairs)
        : m_pairs(std::move(pairs))
    {
    }

    bool next() override
    {
        m_begin = m_end;
        if (m_begin >= m_pairs.size())
            return false;
        m_trigram = uint32_t(m_pairs[m_begin] >> 32);
        m_end = m_begin;
        while (m_end < m_pairs.size() && uint32_t(m_pairs[m_end] >> 32) == m_trigram)
            ++m_end;
        return true;
    }

    void appendBlocks(std::vector<uint32_t> &blocks) override
    {
        for (size_t i = m_begin; i < m_end; ++i)
            blocks.push_back(uint32_t(m_pairs[i]));
    }

private:
    std::vector<uint64_t> m_pairs;
    size_t m_begin = 0;
    size_t m_end = 0;
};

[[noreturn]] void scratchFailure(const QFile &file, const QString &verb)
{
    throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(file.fileName()) + u"\" kann nicht "_s + verb
                + u" werden: "_s + file.errorString());
}

class DiskSource final : public ListSource
{
public:
    DiskSource(QFile &file, qint64 begin, qint64 end)
        : m_file(file)
        , m_position(begin)
        , m_end(end)
    {
    }

    bool next() override
    {
        if (m_pending > 0)
            skipPending();
        uint32_t trigram = 0;
        if (!readNumber(trigram, true))
            return false;
        m_trigram = trigram;
        if (!readNumber(m_pending, false))
            damaged();
        return true;
    }

    void appendBlocks(std::vector<uint32_t> &blocks) override
    {
        uint32_t block = 0;
        for (bool first = true; m_pending > 0; --m_pending, first = false) {
            uint32_t gap = 0;
            if (!readNumber(gap, false))
                damaged();
            block = first ? gap : block + gap + 1;
            blocks.push_back(block);
        }
    }

private:
    static constexpr qint64 BufferSize = 256 * 1024;

    // A varint; false at the end of the run when atEndOk, a damaged run otherwise.
    bool readNumber(uint32_t &value, bool atEndOk)
    {
        if (m_next + 10 > m_buffer.size() && m_position < m_end)
            refill();
        if (m_next >= m_buffer.size()) {
            if (atEndOk)
                return false;
            damaged();
        }
        const auto *begin = reinterpret_cast<const unsigned char *>(m_buffer.constData()) + m_next;
        const auto *p = begin;
        if (!readVarint32(p, reinterpret_cast<const unsigned char *>(m_buffer.constData()) + m_buffer.size(), value))
            damaged();
        m_next += p - begin;
        return true;
    }

    void skipPending()
    {
        std::vector<uint32_t> ignored;
        appendBlocks(ignored);
    }

    void refill()
    {
        m_buffer.remove(0, m_next);
        m_next = 0;
        const qint64 want = std::min(BufferSize, m_end - m_position);
        const qsizetype kept = m_buffer.size();
        m_buffer.resize(kept + want);
        if (!m_file.seek(m_position) || m_file.read(m_buffer.data() + kept, want) != want)
            scratchFailure(m_file, u"gelesen"_s);
        m_position += want;
    }

    [[noreturn]] void damaged()
    {
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(m_file.fileName())
                    + u"\" kann nicht gelesen werden: sie ist beschädigt."_s);
    }

    QFile &m_file;
    qint64 m_position;
    qint64 m_end;
    QByteArray m_buffer;
    qsizetype m_next = 0;
    uint32_t m_pending = 0;
};

} // namespace

SliceCollector::SliceCollector(qint64 capacity)
    : m_capacity(std::max<qint64>(capacity, 1))
    , m_seen(TrigramSpace / 64)
{
    m_pairs.reserve(size_t(std::min<qint64>(m_capacity, qint64(1) << 20)));
}

void SliceCollector::beginBlock(uint32_t block)
{
    m_block = block;
    m_blockBegin = m_pairs.size();
    m_blockSplit = false;
}

void SliceCollector::endBlock()
{
    const size_t count = m_pairs.size() - m_blockBegin;
    if (m_blockSplit || count > m_seen.size() / 8) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
    } else {
        for (size_t i = m_blockBegin; i < m_pairs.size(); ++i) {
            const uint32_t t = uint32_t(m_pairs[i] >> 32);
            m_seen[t >> 6] = 0;
        }
    }
    m_blockBegin = m_pairs.size();
    m_blockSplit = false;
}

std::vector<uint64_t> SliceCollector::takeSorted()
{
    std::vector<uint64_t> pairs;
    pairs.swap(m_pairs);
    m_pairs.reserve(pairs.capacity());
    m_blockSplit = m_blockSplit || m_blockBegin < pairs.size();
    m_blockBegin = 0;
    radixSortByTrigram(pairs);
    return pairs;
}

std::unique_ptr<ListSource> memorySource(std::vector<uint64_t> sortedPairs)
{
    return std::make_unique<MemorySource>(std::move(sortedPairs));
}

ListMerge::ListMerge(std::vector<std::unique_ptr<ListSource>> sources)
    : m_sources(std::move(sources))
{
    for (size_t i = 0; i < m_sources.size(); ++i)
        if (m_sources[i]->next())
            m_heads.push({m_sources[i]->trigram(), i});
}

bool ListMerge::next(uint32_t &trigram, std::vector<uint32_t> &blocks)
{
    if (m_heads.empty())
        return false;
    trigram = m_heads.top().first;
    m_holders.clear();
    while (!m_heads.empty() && m_heads.top().first == trigram) {
        m_holders.push_back(m_heads.top().second);
        m_heads.pop();
    }
    std::sort(m_holders.begin(), m_holders.end());
    blocks.clear();
    for (const size_t i : m_holders) {
        m_sources[i]->appendBlocks(blocks);
        if (m_sources[i]->next())
            m_heads.push({m_sources[i]->trigram(), i});
    }
    return true;
}

RunFile::RunFile(const QString &path)
    : m_path(path)
    , m_file(path)
{
}

RunFile::~RunFile()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_runs.empty() || QFile::exists(m_path))
        QFile::remove(m_path);
}

void RunFile::spill(std::vector<uint64_t> sortedPairs)
{
    std::vector<std::unique_ptr<ListSource>> one;
    one.push_back(memorySource(std::move(sortedPairs)));
    ListMerge lists(std::move(one));
    spill(lists);
}

void RunFile::spill(ListMerge &lists)
{
    if (!m_file.isOpen() && !m_file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        scratchFailure(m_file, u"geschrieben"_s);
    const qint64 begin = m_runs.empty() ? 0 : m_runs.back().end;
    if (!m_file.seek(begin))
        scratchFailure(m_file, u"geschrieben"_s);
    QByteArray out;
    qint64 written = 0;
    const auto flush = [&] {
        if (m_file.write(out) != out.size())
            scratchFailure(m_file, u"geschrieben"_s);
        written += out.size();
        out.clear();
    };
    uint32_t trigram = 0;
    std::vector<uint32_t> blocks;
    while (lists.next(trigram, blocks)) {
        appendVarint(out, trigram);
        appendVarint(out, uint32_t(blocks.size()));
        uint32_t previous = 0;
        for (size_t k = 0; k < blocks.size(); ++k) {
            appendVarint(out, k == 0 ? blocks[k] : blocks[k] - previous - 1);
            previous = blocks[k];
        }
        if (out.size() >= (1 << 20))
            flush();
    }
    flush();
    m_runs.push_back({begin, begin + written});
}

std::unique_ptr<ListSource> RunFile::source(int i)
{
    if (!m_file.flush())
        scratchFailure(m_file, u"geschrieben"_s);
    const Run run = m_runs.at(size_t(i));
    return std::make_unique<DiskSource>(m_file, run.begin, run.end);
}

} // namespace vespira::index
