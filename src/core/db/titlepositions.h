#pragma once

// The title-position file of a collected text file: one line per document block,
// "<byte offset> #<document path>", UTF-8, CR LF.
//
//   const db::TitlePositions titles = db::TitlePositions::load(
//       db::titlePositionsPath(programFolder, name, db::TextKind::Utf8));
//   const QString path = titles.pathAt(matchPosition);        // "" before the first block
//   const auto block = titles.blockAt(viewPosition);          // block->offset for the title bar
//
// Load once, then ask as often as needed: a lookup is a binary search, and decodes only the
// paths it looks at (a search of a large database asks for a few). Its answers are
// those of the plain walk over the lines (first line whose offset <= pos <= next line's
// offset, the last line when its offset <= pos, lines with an empty path passed over), so
// a position equal to a block's start belongs to the block before it.

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

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

    // Every line, decoded (on the first call).
    const QList<Entry> &entries() const;
    bool isEmpty() const { return m_lines.empty(); }

    // The block a byte position of the collected file belongs to; nullopt when it belongs
    // to none (before the first offset, or an empty table).
    std::optional<Block> blockAt(qint64 position) const;

    // The document path for a byte position; empty when it belongs to no block.
    QString pathAt(qint64 position) const;

private:
    struct Line
    {
        qint64 offset = 0;
        qsizetype pathFrom = 0; // the path's bytes in m_bytes
        qsizetype pathSize = 0;
    };

    struct Bytes; // the file's bytes, shared by copies of the table
    static TitlePositions parseBytes(std::shared_ptr<const Bytes> bytes);
    QString pathOf(qsizetype line) const;
    std::optional<Block> walk(qint64 position) const;

    std::shared_ptr<const Bytes> m_bytes;
    std::vector<Line> m_lines;
    mutable std::optional<QList<Entry>> m_entries;
    bool m_ascending = true; // offsets never decrease: binary search gives the walk's answer
};

} // namespace vespira::db
