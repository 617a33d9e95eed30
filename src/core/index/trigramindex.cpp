#include "core/index/trigramindex.h"

#include "core/index/checksum.h"
#include "core/index/filestamp.h"
#include "core/index/foldedtext.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace vespira::index {

struct TrigramIndex::Storage
{
    QFile file;
    uchar *map = nullptr;
    QByteArray bytes;

    ~Storage()
    {
        if (map)
            file.unmap(map);
    }
};

namespace {

QByteArrayView view(const unsigned char *p, qint64 n)
{
    return QByteArrayView(reinterpret_cast<const char *>(p), qsizetype(n));
}

// Walks a delta-coded posting list (first block, then gaps less one), handing each block to
// take; false when the list runs past its end, names a block beyond blocks, or leaves bytes over.
template <typename Take>
bool forEachDeltaBlock(const unsigned char *p, const unsigned char *end, uint32_t count, uint64_t blocks, Take take)
{
    uint64_t block = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t gap = 0;
        if (!readVarint(p, end, gap))
            return false;
        block = i == 0 ? gap : block + gap + 1;
        if (block >= blocks)
            return false;
        take(block);
    }
    return p == end;
}

} // namespace

TrigramIndex::TrigramIndex()
    : m_starts(std::make_shared<const std::vector<qint64>>())
{
}

TrigramIndex TrigramIndex::open(const QString &indexPath, const QString &collectedPath, IndexedText kind)
{
    TrigramIndex idx;
    const std::optional<FileStamp> stamp = stampOf(collectedPath);
    if (!stamp || !QFileInfo(indexPath).isFile())
        return idx;
    idx.m_status = IndexStatus::Damaged;
    auto storage = std::make_shared<Storage>();
    storage->file.setFileName(indexPath);
    if (!storage->file.open(QIODevice::ReadOnly))
        return idx;
    const qint64 size = storage->file.size();
    if (size < HeaderSize + FooterSize)
        return idx;
    storage->map = storage->file.map(0, size);
    if (!storage->map)
        return idx;
    idx.m_storage = storage;
    idx.m_data = storage->map;
    idx.m_size = size;
    idx.load(stamp, kind);
    return idx;
}

TrigramIndex TrigramIndex::fromBytes(QByteArray bytes, IndexedText kind, const std::optional<FileStamp> &expected)
{
    TrigramIndex idx;
    auto storage = std::make_shared<Storage>();
    storage->bytes = std::move(bytes);
    idx.m_storage = storage;
    idx.m_data = reinterpret_cast<const unsigned char *>(storage->bytes.constData());
    idx.m_size = storage->bytes.size();
    idx.load(expected, kind);
    return idx;
}

void TrigramIndex::load(const std::optional<FileStamp> &expected, IndexedText kind)
{
    m_status = IndexStatus::Damaged;
    if (m_size < HeaderSize + FooterSize)
        return;
    const std::optional<Header> header = decodeHeader(view(m_data, HeaderSize));
    if (!header || header->kind != kind)
        return;
    m_header = *header;
    if ((expected && header->stamp != *expected) || header->unicodeVersion != currentUnicodeVersion()) {
        m_status = IndexStatus::OutOfDate;
        return;
    }
    const std::optional<Footer> footer = decodeFooter(view(m_data + m_size - FooterSize, FooterSize));
    if (!footer)
        return;
    const Footer &f = *footer;
    const qint64 pages = (qint64(f.trigramCount) + PageEntries - 1) / PageEntries;
    if (f.postingsOffset < HeaderSize || f.directoryOffset < f.postingsOffset
        || f.pageIndexOffset < f.directoryOffset || f.pageIndexOffset > m_size - FooterSize
        || f.directoryOffset - f.postingsOffset > qint64(std::numeric_limits<uint32_t>::max())
        || f.pageIndexOffset - f.directoryOffset != qint64(f.trigramCount) * DirectoryEntrySize
        || m_size - FooterSize - f.pageIndexOffset != pages * PageIndexEntrySize || f.blockCount == 0)
        return;
    m_footer = f;
    if (!readBlockTable() || !readPageIndex())
        return;
    m_status = IndexStatus::Current;
}

bool TrigramIndex::readBlockTable()
{
    const unsigned char *p = m_data + HeaderSize;
    const unsigned char *end = m_data + m_footer.postingsOffset;
    if (crc32(view(p, end - p)) != m_footer.blockTableCrc || qint64(m_footer.blockCount) > end - p)
        return false;
    auto starts = std::make_shared<std::vector<qint64>>();
    starts->reserve(m_footer.blockCount);
    const qint64 fileSize = m_header.stamp.size;
    qint64 start = 0;
    for (uint32_t i = 0; i < m_footer.blockCount; ++i) {
        uint64_t gap = 0;
        if (!readVarint(p, end, gap, uint64_t(std::numeric_limits<qint64>::max())))
            return false;
        if ((i == 0 && gap != 0) || (i > 0 && (gap == 0 || qint64(gap) >= fileSize - start)))
            return false;
        start += qint64(gap);
        starts->push_back(start);
    }
    if (p != end)
        return false;
    m_starts = std::move(starts);
    return true;
}

bool TrigramIndex::readPageIndex()
{
    const unsigned char *p = m_data + m_footer.pageIndexOffset;
    const qint64 n = (m_size - FooterSize - m_footer.pageIndexOffset) / PageIndexEntrySize;
    if (crc32(view(p, n * PageIndexEntrySize)) != m_footer.pageIndexCrc)
        return false;
    m_pageKeys.clear();
    m_pageCrcs.clear();
    for (qint64 i = 0; i < n; ++i, p += PageIndexEntrySize) {
        const uint32_t key = readU32(p);
        if (!m_pageKeys.empty() && (key >> 8) <= (m_pageKeys.back() >> 8))
            return false;
        m_pageKeys.push_back(key);
        m_pageCrcs.push_back(readU32(p + 4));
    }
    return true;
}

TrigramIndex::Lookup TrigramIndex::find(uint32_t trigram, List &list) const
{
    const auto page = std::upper_bound(m_pageKeys.begin(), m_pageKeys.end(), trigram,
                                       [](uint32_t t, uint32_t key) { return t < (key >> 8); });
    if (page == m_pageKeys.begin())
        return Lookup::Absent;
    const qint64 pageIndex = qint64(page - m_pageKeys.begin()) - 1;
    const qint64 first = pageIndex * PageEntries;
    const qint64 count = std::min<qint64>(PageEntries, qint64(m_footer.trigramCount) - first);
    const unsigned char *entries = m_data + m_footer.directoryOffset + first * DirectoryEntrySize;
    if (crc32(view(entries, count * DirectoryEntrySize)) != m_pageCrcs[size_t(pageIndex)]
        || readU32(entries) != m_pageKeys[size_t(pageIndex)])
        return Lookup::Damaged;
    qint64 lo = 0, hi = count; // first entry whose trigram is >= trigram
    while (lo < hi) {
        const qint64 mid = (lo + hi) / 2;
        if ((readU32(entries + mid * DirectoryEntrySize) >> 8) < trigram)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo >= count)
        return Lookup::Absent;
    const unsigned char *entry = entries + lo * DirectoryEntrySize;
    const uint32_t key = readU32(entry);
    if ((key >> 8) != trigram)
        return Lookup::Absent;
    if ((key & 0xFF) > uint32_t(ListEncoding::Bitmap))
        return Lookup::Damaged;
    const qint64 postingsSize = m_footer.directoryOffset - m_footer.postingsOffset;
    const qint64 offset = readU32(entry + 4);
    qint64 end = postingsSize;
    if (first + lo + 1 < qint64(m_footer.trigramCount))
        end = readU32(entry + DirectoryEntrySize + 4); // the next entry, on this page or the next
    if (offset > end || end > postingsSize)
        return Lookup::Damaged;
    const unsigned char *data = m_data + m_footer.postingsOffset + offset;
    const unsigned char *dataEnd = m_data + m_footer.postingsOffset + end;
    if (crc32(view(data, dataEnd - data)) != readU32(entry + 8))
        return Lookup::Damaged;
    list.encoding = ListEncoding(key & 0xFF);
    if (!readVarint32(data, dataEnd, list.count) || list.count == 0 || list.count > m_footer.blockCount)
        return Lookup::Damaged;
    if (list.encoding == ListEncoding::Bitmap && dataEnd - data != (qint64(m_footer.blockCount) + 7) / 8)
        return Lookup::Damaged;
    list.data = data;
    list.end = dataEnd;
    return Lookup::Found;
}

bool TrigramIndex::addToBitmap(const List &list, std::vector<uint64_t> &bits) const
{
    const uint64_t blocks = m_footer.blockCount;
    if (list.encoding == ListEncoding::Bitmap) {
        const qint64 n = list.end - list.data;
        for (qint64 i = 0; i < n; ++i)
            bits[size_t(i / 8)] |= uint64_t(list.data[i]) << (8 * (i % 8));
        qint64 set = 0;
        for (const uint64_t w : bits)
            set += std::popcount(w);
        const bool tailClear = blocks % 64 == 0 || (bits.back() >> (blocks % 64)) == 0;
        return set == list.count && tailClear;
    }
    return forEachDeltaBlock(list.data, list.end, list.count, blocks,
                             [&](uint64_t block) { bits[size_t(block / 64)] |= uint64_t(1) << (block % 64); });
}

Candidates TrigramIndex::candidates(const QString &searchText, bool bigEndian) const
{
    if (!usable())
        return Candidates::everything(m_starts, -1);
    const qint64 fileSize = m_header.stamp.size;
    if (bigEndian && m_header.kind == IndexedText::Utf16LE)
        return Candidates::everything(m_starts, fileSize);
    const std::vector<uint32_t> trigrams = trigramsOf(foldedSearchBytes(searchText, m_header.kind));
    if (trigrams.empty())
        return Candidates::everything(m_starts, fileSize);

    std::vector<List> lists;
    for (const uint32_t t : trigrams) {
        List list {};
        switch (find(t, list)) {
        case Lookup::Absent:
            return Candidates::some(m_starts, fileSize, {});
        case Lookup::Damaged:
            return Candidates::everything(m_starts, fileSize, true);
        case Lookup::Found:
            lists.push_back(list);
            break;
        }
    }
    // Rarest first: the set shrinks fastest, and an empty one ends the work.
    std::sort(lists.begin(), lists.end(), [](const List &a, const List &b) { return a.count < b.count; });
    const size_t words = (size_t(m_footer.blockCount) + 63) / 64;
    std::vector<uint64_t> bits(words, 0), next(words, 0);
    if (!addToBitmap(lists.front(), bits))
        return Candidates::everything(m_starts, fileSize, true);
    for (size_t i = 1; i < lists.size(); ++i) {
        std::fill(next.begin(), next.end(), 0);
        if (!addToBitmap(lists[i], next))
            return Candidates::everything(m_starts, fileSize, true);
        bool any = false;
        for (size_t w = 0; w < words; ++w) {
            bits[w] &= next[w];
            any = any || bits[w] != 0;
        }
        if (!any)
            break;
    }
    return Candidates::some(m_starts, fileSize, std::move(bits));
}

PostingCursor::PostingCursor(const TrigramIndex &index)
    : m_index(index)
{
    m_damaged = !index.usable();
}

bool PostingCursor::next()
{
    const TrigramIndex &idx = m_index;
    if (m_damaged || m_next >= qint64(idx.m_footer.trigramCount))
        return false;
    const qint64 i = m_next++;
    const qint64 page = i / PageEntries;
    const unsigned char *directory = idx.m_data + idx.m_footer.directoryOffset;
    if (page != m_checkedPage) {
        const qint64 first = page * PageEntries;
        const qint64 count = std::min<qint64>(PageEntries, qint64(idx.m_footer.trigramCount) - first);
        const unsigned char *entries = directory + first * DirectoryEntrySize;
        if (crc32(view(entries, count * DirectoryEntrySize)) != idx.m_pageCrcs[size_t(page)]
            || readU32(entries) != idx.m_pageKeys[size_t(page)]) {
            m_damaged = true;
            return false;
        }
        m_checkedPage = page;
    }
    const unsigned char *entry = directory + i * DirectoryEntrySize;
    const uint32_t key = readU32(entry);
    const uint32_t trigram = key >> 8;
    const qint64 postingsSize = idx.m_footer.directoryOffset - idx.m_footer.postingsOffset;
    const qint64 offset = readU32(entry + 4);
    const qint64 end = i + 1 < qint64(idx.m_footer.trigramCount) ? qint64(readU32(entry + DirectoryEntrySize + 4))
                                                                  : postingsSize;
    TrigramIndex::List list {};
    list.encoding = ListEncoding(key & 0xFF);
    list.data = idx.m_data + idx.m_footer.postingsOffset + offset;
    list.end = idx.m_data + idx.m_footer.postingsOffset + end;
    // Ascending keys, and lists that lie where the directory says and match their CRCs.
    if ((i > 0 && trigram <= m_trigram) || (key & 0xFF) > uint32_t(ListEncoding::Bitmap) || offset > end
        || end > postingsSize || crc32(view(list.data, list.end - list.data)) != readU32(entry + 8)
        || !readVarint32(list.data, list.end, list.count) || list.count == 0
        || list.count > idx.m_footer.blockCount || !decode(list)) {
        m_damaged = true;
        return false;
    }
    m_trigram = trigram;
    return true;
}

bool PostingCursor::decode(const TrigramIndex::List &list)
{
    const size_t words = (size_t(m_index.m_footer.blockCount) + 63) / 64;
    m_blocks.clear();
    if (list.encoding == ListEncoding::Bitmap) {
        if (list.end - list.data != (qint64(m_index.m_footer.blockCount) + 7) / 8)
            return false;
        m_bits.assign(words, 0);
        if (!m_index.addToBitmap(list, m_bits))
            return false;
        for (size_t w = 0; w < words; ++w) {
            for (uint64_t word = m_bits[w]; word != 0; word &= word - 1)
                m_blocks.push_back(uint32_t(w * 64 + size_t(std::countr_zero(word))));
        }
        return true;
    }
    return forEachDeltaBlock(list.data, list.end, list.count, m_index.m_footer.blockCount,
                             [&](uint64_t block) { m_blocks.push_back(uint32_t(block)); });
}

} // namespace vespira::index
