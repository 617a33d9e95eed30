#include "core/db/titlepositions.h"

#include "core/common/text.h"

#include <QFile>

#include <algorithm>

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

TitlePositions TitlePositions::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

TitlePositions TitlePositions::parse(QByteArrayView bytes)
{
    TitlePositions table;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArrayView line = bytes.sliced(start, end - start);
        start = end;
        if (start < bytes.size() && bytes[start] == '\r')
            ++start;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
        if (line.isEmpty())
            continue;

        Entry entry;
        const qsizetype blank = line.indexOf(' ');
        // A broken offset would stop every lookup; such a line is passed over instead.
        if (blank >= 0 && !parseOffset(line.first(blank), entry.offset))
            continue;
        const qsizetype hash = line.indexOf(" #");
        entry.path = text::fromUtf8Lenient(hash >= 0 ? line.sliced(hash + 2) : line);
        if (!table.m_entries.isEmpty() && entry.offset < table.m_entries.constLast().offset)
            table.m_ascending = false;
        table.m_entries.append(std::move(entry));
    }
    return table;
}

std::optional<TitlePositions::Block> TitlePositions::walk(qint64 position) const
{
    const qsizetype n = m_entries.size();
    for (qsizetype i = 0; i < n; ++i) {
        const bool fits = m_entries[i].offset <= position
            && (i == n - 1 || m_entries[i + 1].offset >= position);
        if (fits && !m_entries[i].path.isEmpty())
            return Block {m_entries[i].offset, m_entries[i].path, i};
    }
    return std::nullopt;
}

std::optional<TitlePositions::Block> TitlePositions::blockAt(qint64 position) const
{
    if (!m_ascending)
        return walk(position);
    // With ascending offsets the lines that fit are exactly those from the one before
    // the first offset >= position up to the last offset <= position.
    const auto less = [](const Entry &e, qint64 p) { return e.offset < p; };
    const auto greater = [](qint64 p, const Entry &e) { return p < e.offset; };
    const qsizetype firstNotBelow =
        std::lower_bound(m_entries.cbegin(), m_entries.cend(), position, less) - m_entries.cbegin();
    const qsizetype pastNotAbove =
        std::upper_bound(m_entries.cbegin(), m_entries.cend(), position, greater) - m_entries.cbegin();
    for (qsizetype i = std::max<qsizetype>(firstNotBelow - 1, 0); i < pastNotAbove; ++i) {
        if (!m_entries[i].path.isEmpty())
            return Block {m_entries[i].offset, m_entries[i].path, i};
    }
    return std::nullopt;
}

QString TitlePositions::pathAt(qint64 position) const
{
    const auto block = blockAt(position);
    return block ? block->path : QString();
}

} // namespace vespira::db
