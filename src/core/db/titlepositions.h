#pragma once

// The title-position file of a collected text file: one line per document block,
// "<byte offset> #<document path>", UTF-8, CR LF.
//
//   const db::TitlePositions titles = db::TitlePositions::load(
//       db::titlePositionsPath(programFolder, name, db::TextKind::Utf8));
//   const QString path = titles.pathAt(matchPosition);        // "" before the first block
//   const auto block = titles.blockAt(viewPosition);          // block->offset for the title bar
//
// Load once, then ask as often as needed: a lookup is a binary search. Its answers are
// those of the plain walk over the lines (first line whose offset <= pos <= next line's
// offset, the last line when its offset <= pos, lines with an empty path passed over), so
// a position equal to a block's start belongs to the block before it.

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace vespira::db {

class TitlePositions
{
public:
    struct Entry
    {
        qint64 offset = 0;
        // After the first " #"; the whole line when it holds none. Decoded from UTF-8.
        QString path;
    };

    struct Block
    {
        qint64 offset = 0;
        QString path;
        qsizetype index = 0; // into entries()
    };

    TitlePositions() = default;

    // Reads the file. A missing or unreadable file gives an empty table, whose lookups
    // all answer "no document".
    static TitlePositions load(const QString &path);

    // Parses the bytes of a whole file. Lines whose text before the first blank is not a
    // decimal number are left out; a line without any blank counts as offset 0 with the
    // whole line as its path; empty lines are left out.
    static TitlePositions parse(QByteArrayView bytes);

    const QList<Entry> &entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // The block a byte position of the collected file belongs to; nullopt when it belongs
    // to none (before the first offset, or an empty table).
    std::optional<Block> blockAt(qint64 position) const;

    // The document path for a byte position; empty when it belongs to no block.
    QString pathAt(qint64 position) const;

private:
    std::optional<Block> walk(qint64 position) const;

    QList<Entry> m_entries;
    bool m_ascending = true; // offsets never decrease: binary search gives the walk's answer
};

} // namespace vespira::db
