#pragma once

// Reads a trigram index file (format.h) and answers search texts with candidate blocks.
//
//   const auto idx = index::TrigramIndex::open(indexPath, collectedPath, index::IndexedText::Utf8);
//   if (idx.status() == index::IndexStatus::OutOfDate || ... == Damaged) say it once;
//   const index::Candidates c = idx.candidates(searchText, /*bigEndian=*/false);
//
// Opening checks the header, the footer, the block table and the page index, and that the
// file was made from the collected file as it is now (size, modification time, sampled
// digest) with this build's case folding; the directory pages and posting lists a query
// reads are checked by their CRCs when it reads them. Nothing a file holds can make the
// reader crash or read outside the file; any fault reads as "no index" (everything is a
// candidate). The file is memory-mapped, so a search touches only the pages it needs; it is
// replaced by renaming, never rewritten in place, so the mapping stays valid.

#include "core/index/candidates.h"
#include "core/index/format.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vespira::index {

enum class IndexStatus {
    Current,   // usable
    Missing,   // no index file (or no collected file)
    OutOfDate, // made from another state of the collected file, or with other folding tables
    Damaged,   // unreadable, cut or not an index of this version and kind
};

class TrigramIndex
{
public:
    TrigramIndex();

    static TrigramIndex open(const QString &indexPath, const QString &collectedPath, IndexedText kind);
    // The same checks on the bytes of an index file; the stamp check only when expected is
    // given.
    static TrigramIndex fromBytes(QByteArray bytes, IndexedText kind,
                                  const std::optional<FileStamp> &expected = std::nullopt);

    IndexStatus status() const { return m_status; }
    bool usable() const { return m_status == IndexStatus::Current; }
    qint64 fileSize() const { return m_header.stamp.size; }
    qint64 blockCount() const { return qint64(m_starts->size()); }
    qint64 trigramCount() const { return m_footer.trigramCount; }
    const std::vector<qint64> &blockStarts() const { return *m_starts; }

    // The candidate blocks for a search text as the search gives it (not folded). A search
    // that reads the UTF-16 file as big endian cannot use the index (everything).
    Candidates candidates(const QString &searchText, bool bigEndian = false) const;

private:
    friend class PostingCursor;

    struct List
    {
        ListEncoding encoding;
        uint32_t count;
        const unsigned char *data; // after the count
        const unsigned char *end;
    };
    enum class Lookup { Found, Absent, Damaged };

    void load(const std::optional<FileStamp> &expected, IndexedText kind);
    bool readBlockTable();
    bool readPageIndex();
    Lookup find(uint32_t trigram, List &list) const;
    bool addToBitmap(const List &list, std::vector<uint64_t> &bits) const;

    struct Storage;
    std::shared_ptr<Storage> m_storage;
    const unsigned char *m_data = nullptr;
    qint64 m_size = 0;
    IndexStatus m_status = IndexStatus::Missing;
    Header m_header;
    Footer m_footer;
    std::shared_ptr<const std::vector<qint64>> m_starts;
    std::vector<uint32_t> m_pageKeys;
    std::vector<uint32_t> m_pageCrcs;
};

// Reads every posting list of a usable index in ascending trigram order, checking each
// directory page and list as a query does; an update carries the lists over to a new index.
//
//   PostingCursor cursor(idx);
//   while (cursor.next()) use(cursor.trigram(), cursor.blocks());
//   if (cursor.damaged()) ...   // stopped at a list that failed its checks
class PostingCursor
{
public:
    explicit PostingCursor(const TrigramIndex &index);

    // False at the end, or when the next list fails its checks.
    bool next();
    bool damaged() const { return m_damaged; }
    uint32_t trigram() const { return m_trigram; }
    const std::vector<uint32_t> &blocks() const { return m_blocks; }

private:
    bool decode(const TrigramIndex::List &list);

    const TrigramIndex &m_index;
    qint64 m_next = 0;
    qint64 m_checkedPage = -1;
    bool m_damaged = false;
    uint32_t m_trigram = 0;
    std::vector<uint32_t> m_blocks;
    std::vector<uint64_t> m_bits; // a bitmap list, before it becomes block numbers
};

} // namespace vespira::index
