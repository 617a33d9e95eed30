#include "core/db/titlepositions.h"

#include "core/common/text.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vespira::db {

// The file's bytes: a copy, or a read-only mapping of the file.
struct TitlePositions::Bytes
{
    QByteArray data;
    QFile file;
    uchar *map = nullptr;
    qint64 mapSize = 0;

    ~Bytes()
    {
        if (map)
            file.unmap(map);
    }
    const char *begin() const { return map ? reinterpret_cast<const char *>(map) : data.constData(); }
    qsizetype size() const { return map ? qsizetype(mapSize) : data.size(); }
};

TitlePositions TitlePositions::load(const QString &path)
{
    // Read, not mapped: the search window keeps the table while the file may be rewritten
    // in place by another program, and a mapping would fault on what was cut off.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    auto bytes = std::make_shared<Bytes>();
    bytes->data = file.readAll();
    return parseBytes(std::move(bytes));
}

TitlePositions TitlePositions::map(const QString &path)
{
    auto bytes = std::make_shared<Bytes>();
    bytes->file.setFileName(path);
    if (!bytes->file.open(QIODevice::ReadOnly))
        return {};
    bytes->mapSize = bytes->file.size();
    if (bytes->mapSize > 0 && bytes->mapSize < std::numeric_limits<qsizetype>::max())
        bytes->map = bytes->file.map(0, bytes->mapSize);
    if (!bytes->map) // empty, or a file that cannot be mapped
        return load(path);
    return parseBytes(std::move(bytes));
}

TitlePositions TitlePositions::parse(QByteArrayView view)
{
    auto bytes = std::make_shared<Bytes>();
    bytes->data = view.toByteArray();
    return parseBytes(std::move(bytes));
}

namespace {

// The first CR or LF in [p, end), or end: one pass, where two memchr calls would read each
// line twice (this is most of the time a table takes to read).
const char *firstLineEnd(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (mask != 0)
            return p + std::countr_zero(unsigned(mask));
    }
#endif
    for (; p < end; ++p)
        if (*p == '\r' || *p == '\n')
            return p;
    return end;
}

struct ParsedLine
{
    qint64 offset = 0;
    qsizetype from = 0; // the line's bytes, without its line end
    qsizetype size = 0;
};

// Reads on from pos to the next line the table keeps, and past it; false at the end.
bool nextLine(const char *data, qsizetype size, qsizetype &pos, ParsedLine &out)
{
    while (pos < size) {
        const qsizetype end = firstLineEnd(data + pos, data + size) - data;
        const qsizetype lineStart = pos;
        const qsizetype lineSize = end - pos;
        pos = end;
        if (pos < size && data[pos] == '\r')
            ++pos;
        if (pos < size && data[pos] == '\n')
            ++pos;
        if (lineSize == 0)
            continue;

        // "<digits> ..." (at most 18 digits); a line without any blank counts as offset 0.
        // A broken offset would stop every lookup; such a line is passed over instead.
        const char *line = data + lineStart;
        qint64 offset = 0;
        qsizetype digits = 0;
        for (; digits < lineSize && digits <= 18 && line[digits] >= '0' && line[digits] <= '9'; ++digits)
            if (digits < 18)
                offset = offset * 10 + (line[digits] - '0');
        const bool numbered = digits > 0 && digits <= 18 && digits < lineSize && line[digits] == ' ';
        if (!numbered) {
            if (std::memchr(line, ' ', size_t(lineSize)))
                continue;
            offset = 0;
        }
        out = ParsedLine {offset, lineStart, lineSize};
        return true;
    }
    return false;
}

} // namespace

TitlePositions TitlePositions::parseBytes(std::shared_ptr<const Bytes> bytes)
{
    TitlePositions table;
    const char *const data = bytes->begin();
    const qsizetype size = bytes->size();
    table.m_bytes = std::move(bytes);
    // A search reads the table of a large database for a few hits: the lines' offsets are
    // kept, and where every CheckpointLines-th line starts; a path is read when it is asked for.
    table.m_offsets.reserve(size_t(size / 64));
    ParsedLine line;
    qsizetype pos = 0;
    for (qsizetype before = pos; nextLine(data, size, pos, line); before = pos) {
        if (table.m_offsets.size() % CheckpointLines == 0)
            table.m_checkpoints.push_back(before);
        if (!table.m_offsets.empty() && line.offset < table.m_offsets.back())
            table.m_ascending = false;
        table.m_offsets.push_back(line.offset);
    }
    return table;
}

QString TitlePositions::pathOf(qsizetype index) const
{
    const char *const data = m_bytes->begin();
    const qsizetype size = m_bytes->size();
    qsizetype pos = m_checkpoints[size_t(index / CheckpointLines)];
    ParsedLine line;
    for (qsizetype k = index % CheckpointLines; k >= 0; --k)
        nextLine(data, size, pos, line);
    return pathText(QByteArrayView(data + line.from, line.size));
}

QString TitlePositions::pathText(QByteArrayView line)
{
    // After the first " #"; the whole line when it holds none.
    const qsizetype hash = line.indexOf(" #");
    return text::fromUtf8Lenient(hash >= 0 ? line.sliced(hash + 2) : line);
}

const QList<TitlePositions::Entry> &TitlePositions::entries() const
{
    if (!m_entries) {
        QList<Entry> entries;
        entries.reserve(qsizetype(m_offsets.size()));
        const char *const data = m_bytes ? m_bytes->begin() : nullptr;
        const qsizetype size = m_bytes ? m_bytes->size() : 0;
        ParsedLine line;
        for (qsizetype pos = 0; nextLine(data, size, pos, line);)
            entries.append(Entry {line.offset, pathText(QByteArrayView(data + line.from, line.size))});
        m_entries = std::move(entries);
    }
    return *m_entries;
}

std::optional<TitlePositions::Block> TitlePositions::walk(qint64 position) const
{
    const qsizetype n = qsizetype(m_offsets.size());
    for (qsizetype i = 0; i < n; ++i) {
        const bool fits = m_offsets[size_t(i)] <= position && (i == n - 1 || m_offsets[size_t(i + 1)] >= position);
        if (!fits)
            continue;
        if (QString path = pathOf(i); !path.isEmpty())
            return Block {m_offsets[size_t(i)], std::move(path), i};
    }
    return std::nullopt;
}

std::optional<TitlePositions::Block> TitlePositions::blockAt(qint64 position) const
{
    if (!m_ascending)
        return walk(position);
    // With ascending offsets the lines that fit are exactly those from the one before
    // the first offset >= position up to the last offset <= position.
    const auto begin = m_offsets.cbegin();
    const qsizetype firstNotBelow = std::lower_bound(begin, m_offsets.cend(), position) - begin;
    const qsizetype pastNotAbove = std::upper_bound(begin, m_offsets.cend(), position) - begin;
    for (qsizetype i = std::max<qsizetype>(firstNotBelow - 1, 0); i < pastNotAbove; ++i) {
        if (QString path = pathOf(i); !path.isEmpty())
            return Block {m_offsets[size_t(i)], std::move(path), i};
    }
    return std::nullopt;
}

QString TitlePositions::pathAt(qint64 position) const
{
    const auto block = blockAt(position);
    return block ? block->path : QString();
}

PendingTitlePositions::PendingTitlePositions(const QString &path)
{
    try {
        m_reading = std::async(std::launch::async, [path] { return TitlePositions::map(path); });
    } catch (const std::system_error &) {
        m_table = TitlePositions::map(path);
    }
}

PendingTitlePositions::~PendingTitlePositions()
{
    if (m_reading.valid())
        m_reading.wait();
}

const TitlePositions &PendingTitlePositions::get()
{
    if (m_reading.valid())
        m_table = m_reading.get();
    return m_table;
}

} // namespace vespira::db
