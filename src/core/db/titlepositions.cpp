#include "core/db/titlepositions.h"

#include "core/common/text.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace vespira::db {

namespace {

bool parseOffset(QByteArrayView digits, qint64 &offset)
{
    if (digits.isEmpty() || digits.size() > 18)
        return false;
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    offset = value;
    return true;
}

} // namespace

struct TitlePositions::Bytes
{
    QByteArray data;
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

TitlePositions TitlePositions::parse(QByteArrayView view)
{
    auto bytes = std::make_shared<Bytes>();
    bytes->data = view.toByteArray();
    return parseBytes(std::move(bytes));
}

TitlePositions TitlePositions::parseBytes(std::shared_ptr<const Bytes> bytes)
{
    TitlePositions table;
    const char *const data = bytes->data.constData();
    const qsizetype size = bytes->data.size();
    table.m_bytes = std::move(bytes);
    qsizetype start = 0;
    while (start < size) {
        // The line ends at the first CR or LF.
        const char *lf = static_cast<const char *>(std::memchr(data + start, '\n', size_t(size - start)));
        const qsizetype lineEnd = lf ? lf - data : size;
        const char *cr = static_cast<const char *>(std::memchr(data + start, '\r', size_t(lineEnd - start)));
        const qsizetype end = cr ? cr - data : lineEnd;
        const QByteArrayView line(data + start, end - start);
        const qsizetype lineStart = start;
        start = end;
        if (start < size && data[start] == '\r')
            ++start;
        if (start < size && data[start] == '\n')
            ++start;
        if (line.isEmpty())
            continue;

        Line entry;
        const qsizetype blank = line.indexOf(' ');
        // A broken offset would stop every lookup; such a line is passed over instead.
        if (blank >= 0 && !parseOffset(line.first(blank), entry.offset))
            continue;
        const qsizetype hash = line.indexOf(" #");
        entry.pathFrom = lineStart + (hash >= 0 ? hash + 2 : 0);
        entry.pathSize = hash >= 0 ? line.size() - hash - 2 : line.size();
        if (!table.m_lines.empty() && entry.offset < table.m_lines.back().offset)
            table.m_ascending = false;
        table.m_lines.push_back(entry);
    }
    return table;
}

QString TitlePositions::pathOf(qsizetype line) const
{
    const Line &l = m_lines[size_t(line)];
    return text::fromUtf8Lenient(QByteArrayView(m_bytes->data.constData() + l.pathFrom, l.pathSize));
}

const QList<TitlePositions::Entry> &TitlePositions::entries() const
{
    if (!m_entries) {
        QList<Entry> entries;
        entries.reserve(qsizetype(m_lines.size()));
        for (size_t i = 0; i < m_lines.size(); ++i)
            entries.append(Entry {m_lines[i].offset, pathOf(qsizetype(i))});
        m_entries = std::move(entries);
    }
    return *m_entries;
}

std::optional<TitlePositions::Block> TitlePositions::walk(qint64 position) const
{
    const qsizetype n = qsizetype(m_lines.size());
    for (qsizetype i = 0; i < n; ++i) {
        const bool fits = m_lines[size_t(i)].offset <= position
            && (i == n - 1 || m_lines[size_t(i + 1)].offset >= position);
        if (!fits)
            continue;
        if (QString path = pathOf(i); !path.isEmpty())
            return Block {m_lines[size_t(i)].offset, std::move(path), i};
    }
    return std::nullopt;
}

std::optional<TitlePositions::Block> TitlePositions::blockAt(qint64 position) const
{
    if (!m_ascending)
        return walk(position);
    // With ascending offsets the lines that fit are exactly those from the one before
    // the first offset >= position up to the last offset <= position.
    const auto less = [](const Line &l, qint64 p) { return l.offset < p; };
    const auto greater = [](qint64 p, const Line &l) { return p < l.offset; };
    const qsizetype firstNotBelow =
        std::lower_bound(m_lines.cbegin(), m_lines.cend(), position, less) - m_lines.cbegin();
    const qsizetype pastNotAbove =
        std::upper_bound(m_lines.cbegin(), m_lines.cend(), position, greater) - m_lines.cbegin();
    for (qsizetype i = std::max<qsizetype>(firstNotBelow - 1, 0); i < pastNotAbove; ++i) {
        if (QString path = pathOf(i); !path.isEmpty())
            return Block {m_lines[size_t(i)].offset, std::move(path), i};
    }
    return std::nullopt;
}

QString TitlePositions::pathAt(qint64 position) const
{
    const auto block = blockAt(position);
    return block ? block->path : QString();
}

} // namespace vespira::db
