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

#include <future>
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
    // The same table over a read-only mapping of the file instead of a copy, for a table
    // that lives while a search run does: a search of a large database reads only the
    // lines it looks up. A file cut short by another program while it is mapped would end
    // the process, as with the collected file the run maps; the producer replaces its
    // files by renaming, which leaves a mapping whole.
    static TitlePositions map(const QString &path);

    // Parses the bytes of a whole file. Lines whose text before the first blank is not a
    // decimal number are left out; a line without any blank counts as offset 0 with the
    // whole line as its path; empty lines are left out.
    static TitlePositions parse(QByteArrayView bytes);

    // Every line, decoded (on the first call).
    const QList<Entry> &entries() const;
    // Every line's offset, as entries() has them, without decoding a path.
    const std::vector<qint64> &offsets() const { return m_offsets; }
    bool isEmpty() const { return m_offsets.empty(); }

    // The block a byte position of the collected file belongs to; nullopt when it belongs
    // to none (before the first offset, or an empty table).
    std::optional<Block> blockAt(qint64 position) const;

    // The document path for a byte position; empty when it belongs to no block.
    QString pathAt(qint64 position) const;

private:
    static constexpr qsizetype CheckpointLines = 64;

    struct Bytes; // the file's bytes, shared by copies of the table
    static TitlePositions parseBytes(std::shared_ptr<const Bytes> bytes);
    static QString pathText(QByteArrayView line);
    QString pathOf(qsizetype line) const;
    std::optional<Block> walk(qint64 position) const;

    std::shared_ptr<const Bytes> m_bytes;
    std::vector<qint64> m_offsets;       // of every line kept
    std::vector<qsizetype> m_checkpoints; // where the scan for line k * CheckpointLines starts
    mutable std::optional<QList<Entry>> m_entries;
    bool m_ascending = true; // offsets never decrease: binary search gives the walk's answer
};

// A table read (mapped) on a thread of its own, for a caller with other work to do first,
// such as opening the trigram index; get() waits for it. Without a thread to be had, the
// table is read at once.
//
//   db::PendingTitlePositions titles(titlesPath);
//   ... open the index ...
//   const QString path = titles.get().pathAt(position);
class PendingTitlePositions
{
public:
    explicit PendingTitlePositions(const QString &path);
    ~PendingTitlePositions(); // waits for the thread
    PendingTitlePositions(const PendingTitlePositions &) = delete;
    PendingTitlePositions &operator=(const PendingTitlePositions &) = delete;

    const TitlePositions &get();

private:
    std::future<TitlePositions> m_reading;
    TitlePositions m_table;
};

} // namespace vespira::db
