// The trigram index reader on arbitrary bytes: opening, answering and walking the answer
// must never crash or read outside the bytes, and every position it hands out must lie
// between the asked one and the end of the file.
//
// Input: one byte of flags, then the index file. Flag 1 reads it as the UTF-16 file's index;
// flag 2 first writes correct checksums into the file's places for them, so that the
// fuzzer reaches the structure behind them instead of stopping at the first CRC.

#include "core/index/checksum.h"
#include "core/index/format.h"
#include "core/index/trigramindex.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

using namespace vespira;
using namespace vespira::index;

namespace {

uint32_t u32(const QByteArray &b, qint64 at)
{
    return readU32(reinterpret_cast<const unsigned char *>(b.constData()) + at);
}

uint64_t u64(const QByteArray &b, qint64 at)
{
    return readU64(reinterpret_cast<const unsigned char *>(b.constData()) + at);
}

void put(QByteArray &b, qint64 at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

uint32_t crcOf(const QByteArray &b, qint64 from, qint64 to)
{
    return crc32(QByteArrayView(b.constData() + from, to - from));
}

void fixChecksums(QByteArray &b)
{
    const qint64 size = b.size();
    if (size < HeaderSize + FooterSize)
        return;
    put(b, 60, crcOf(b, 0, 60));
    const qint64 f = size - FooterSize;
    const uint64_t postings = u64(b, f + 8), directory = u64(b, f + 16), pages = u64(b, f + 24);
    if (postings >= uint64_t(HeaderSize) && postings <= uint64_t(f))
        put(b, f + 32, crcOf(b, HeaderSize, qint64(postings)));
    if (postings <= directory && directory <= pages && pages <= uint64_t(f)) {
        const qint64 entries = qint64(pages - directory) / DirectoryEntrySize;
        const qint64 postingsSize = qint64(directory - postings);
        for (qint64 page = 0; page * PageEntries < entries && qint64(pages) + page * 8 + 8 <= f; ++page) {
            const qint64 first = page * PageEntries;
            const qint64 last = std::min(entries, first + PageEntries);
            for (qint64 e = first; e < last; ++e) {
                const qint64 at = qint64(directory) + e * DirectoryEntrySize;
                const qint64 offset = u32(b, at + 4);
                const qint64 end = e + 1 < entries ? qint64(u32(b, at + DirectoryEntrySize + 4)) : postingsSize;
                if (offset <= end && end <= postingsSize)
                    put(b, at + 8, crcOf(b, qint64(postings) + offset, qint64(postings) + end));
            }
            put(b, qint64(pages) + page * 8 + 4,
                crcOf(b, qint64(directory) + first * DirectoryEntrySize, qint64(directory) + last * DirectoryEntrySize));
        }
        put(b, f + 36, crcOf(b, qint64(pages), f));
    }
    put(b, f + 44, crcOf(b, f, f + 44));
}

void walk(const TrigramIndex &idx, const QString &text)
{
    const Candidates c = idx.candidates(text);
    (void)c.scanInstead();
    const qint64 end = idx.usable() ? idx.fileSize() : std::numeric_limits<qint64>::max();
    qint64 previous = 0;
    int steps = 0;
    for (Candidates::Span s = c.span(0); s.begin < s.end && steps < 100000; s = c.span(s.end), ++steps) {
        if (s.begin < previous || s.end > end)
            std::abort();
        previous = s.end;
    }
    for (const qint64 start : idx.blockStarts()) {
        for (const qint64 p : {start - 1, start, start + 1}) {
            const qint64 least = std::min(std::max<qint64>(p, 0), end); // at the end: the end
            const qint64 next = c.nextCandidateFrom(p);
            const qint64 block = c.nextCandidateBlockStart(p);
            if (next < least || next > end || block < least || block > end)
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const IndexedText kind = (data[0] & 1) ? IndexedText::Utf16LE : IndexedText::Utf8;
    QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (data[0] & 2)
        fixChecksums(bytes);
    const TrigramIndex idx = TrigramIndex::fromBytes(bytes, kind);
    static const QStringList texts {QStringLiteral("Haus"), QStringLiteral("k\u00E4se"), QStringLiteral("#Z:\\"),
                                    QStringLiteral("ab"), QStringLiteral("\U00010400xy"), QStringLiteral("See\r\nx")};
    for (const QString &text : texts)
        walk(idx, text);
    return 0;
}
