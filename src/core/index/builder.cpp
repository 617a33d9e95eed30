#include "core/index/builder.h"

#include "core/common/casefold.h"
#include "core/common/error.h"
#include "core/db/titlepositions.h"
#include "core/index/checksum.h"
#include "core/index/filestamp.h"
#include "core/index/foldedtext.h"
#include "core/index/slices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <queue>

using namespace Qt::Literals::StringLiterals;

namespace vespira::index {

namespace {

constexpr qint64 ChunkSize = 1 << 20;
constexpr qint64 NoTitle = std::numeric_limits<qint64>::max();

[[noreturn]] void cannotRead(const QString &path, const QString &reason)
{
    throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path) + u"\" kann nicht gelesen werden: "_s + reason);
}

// Title offsets that can start a block: inside the file, after 0, ascending, each once.
std::vector<qint64> titleOffsets(const QString &titlesPath, qint64 fileSize)
{
    std::vector<qint64> offsets;
    if (titlesPath.isEmpty())
        return offsets;
    const db::TitlePositions titles = db::TitlePositions::load(titlesPath);
    for (const auto &entry : titles.entries())
        if (entry.offset > 0 && entry.offset < fileSize)
            offsets.push_back(entry.offset);
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    return offsets;
}

// Folds the text, cuts it into blocks and hands each block's trigrams to the collector.
//
// Invariants between calls of feed: `base` is the file offset of the next unit; `lastUnit`
// is the unit before it when that was CR or LF, else 0 (LF before the file's first unit);
// `run` counts the folded bytes since the last line end, up to 3, and `trigram` holds the
// last three of them.
class Scanner
{
public:
    // spill is called when the collector is full at the start of a block.
    Scanner(IndexedText kind, SliceCollector &collector, std::vector<qint64> titles, std::function<void()> spill)
        : m_kind(kind)
        , m_table(FoldTable::instance())
        , m_collector(collector)
        , m_spill(std::move(spill))
        , m_titles(std::move(titles))
    {
        m_starts.push_back(0);
        m_collector.beginBlock(0);
        advanceTitles(0);
    }

    // Takes the units of data[0..size), the file's bytes from m_base on; returns how many
    // bytes it used (the rest must come again, with what follows, unless atEnd).
    qint64 feed(const unsigned char *data, qint64 size, bool atEnd)
    {
        const qint64 used = m_kind == IndexedText::Utf8 ? feedUtf8(data, size, atEnd) : feedUtf16(data, size);
        m_base += used;
        return used;
    }

    void finish() { m_collector.endBlock(); }
    std::vector<qint64> takeStarts() { return std::move(m_starts); }

private:
    // Called for every folded byte: kept inline, it is most of the build's time.
    [[gnu::always_inline]] void push(unsigned char b)
    {
        m_trigram = ((m_trigram << 8) | b) & 0xFFFFFF;
        m_run += m_run < 3;
        if (m_run == 3)
            m_collector.add(m_trigram);
    }

    [[gnu::always_inline]] void pushSpelled(const unsigned char *bytes, int length)
    {
        for (int k = 0; k < length; ++k)
            push(bytes[k]);
    }

    void advanceTitles(qint64 position)
    {
        while (m_nextTitle < m_titles.size() && m_titles[m_nextTitle] <= position)
            ++m_nextTitle;
    }

    qint64 nextTitle() const { return m_nextTitle < m_titles.size() ? m_titles[m_nextTitle] : NoTitle; }

    // At the unit that starts at position: notes a title offset reached, and starts the
    // wanted block once a line has ended (CR LF ends one line, not two).
    void atUnit(qint64 position, uint32_t unit)
    {
        if (position >= nextTitle()) {
            m_breakWanted = true;
            advanceTitles(position);
        }
        const bool lineStart = m_lastUnit == '\n' || (m_lastUnit == '\r' && unit != '\n');
        if (m_breakWanted && lineStart && position > m_starts.back()
            && m_starts.size() < std::numeric_limits<uint32_t>::max()) {
            m_collector.endBlock();
            if (m_collector.full())
                m_spill();
            m_starts.push_back(position);
            m_collector.beginBlock(uint32_t(m_starts.size() - 1));
            m_breakWanted = false;
        }
    }

    qint64 feedUtf8(const unsigned char *d, qint64 size, bool atEnd)
    {
        // Decoding looks at up to 4 bytes; short of the end, keep them for the next call.
        const qint64 limit = atEnd ? size : size - 3;
        qint64 i = 0;
        while (i < limit) {
            atUnit(m_base + i, d[i]);
            const qint64 stop = std::min(limit, nextTitle() - m_base);
            while (i < stop) {
                const unsigned char b = d[i];
                if (b < 0x80) {
                    ++i;
                    if (b == '\n' || b == '\r') {
                        m_run = 0;
                        m_lastUnit = b;
                        if (m_breakWanted)
                            break;
                        continue;
                    }
                    push(*m_table.bytes(b));
                } else {
                    const text::DecodedCodePoint cp = text::decodeUtf8(d + i, size - i);
                    i += cp.length;
                    if (cp.value >= text::InvalidUtf8Tag) {
                        push(uchar(cp.value - text::InvalidUtf8Tag));
                    } else if (cp.value < 0x10000) {
                        pushSpelled(m_table.bytes(cp.value), m_table.length(cp.value));
                    } else {
                        unsigned char spelled[4];
                        pushSpelled(spelled, spell(text::foldCodePoint(cp.value), spelled));
                    }
                }
                m_lastUnit = 0;
            }
        }
        return i;
    }

    qint64 feedUtf16(const unsigned char *d, qint64 size)
    {
        const qint64 limit = size - 1; // a unit needs both its bytes
        qint64 i = 0;
        while (i < limit) {
            atUnit(m_base + i, uint32_t(d[i]) | uint32_t(d[i + 1]) << 8);
            const qint64 stop = std::min(limit, nextTitle() - m_base);
            while (i < stop) {
                const uint32_t u = uint32_t(d[i]) | uint32_t(d[i + 1]) << 8;
                i += 2;
                if (u == '\n' || u == '\r') {
                    m_run = 0;
                    m_lastUnit = u;
                    if (m_breakWanted)
                        break;
                    continue;
                }
                pushSpelled(m_table.bytes(u), m_table.length(u));
                m_lastUnit = 0;
            }
        }
        return i;
    }

    IndexedText m_kind;
    const FoldTable &m_table;
    SliceCollector &m_collector;
    std::function<void()> m_spill;
    std::vector<qint64> m_titles;
    size_t m_nextTitle = 0;
    std::vector<qint64> m_starts;
    qint64 m_base = 0;
    uint32_t m_lastUnit = '\n';
    bool m_breakWanted = false;
    uint32_t m_trigram = 0;
    int m_run = 0;
};

// The sink, with the offset reached and pieces of about 1 MiB.
class Output
{
public:
    explicit Output(const ByteSink &write)
        : m_write(write)
    {
    }

    void append(QByteArrayView bytes)
    {
        m_buffer.append(bytes);
        m_offset += bytes.size();
        if (m_buffer.size() >= ChunkSize)
            flush();
    }
    void flush()
    {
        if (!m_buffer.isEmpty())
            m_write(m_buffer);
        m_buffer.clear();
    }
    qint64 offset() const { return m_offset; }

private:
    const ByteSink &m_write;
    QByteArray m_buffer;
    qint64 m_offset = 0;
};

// One posting list: the count, then gaps or a bitmap, whichever is smaller.
ListEncoding encodeList(const std::vector<uint32_t> &blocks, qint64 blockCount, QByteArray &out)
{
    out.resize(0); // keeps the capacity for the next list
    appendVarint(out, blocks.size());
    qint64 gapBytes = 0;
    uint32_t previous = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        gapBytes += varintSize(i == 0 ? blocks[i] : blocks[i] - previous - 1);
        previous = blocks[i];
    }
    const qint64 bitmapBytes = (blockCount + 7) / 8;
    if (bitmapBytes < gapBytes) {
        const qsizetype head = out.size();
        out.resize(head + bitmapBytes, '\0');
        for (const uint32_t b : blocks)
            out[head + b / 8] = char(uchar(out[head + b / 8]) | (1u << (b % 8)));
        return ListEncoding::Bitmap;
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        appendVarint(out, i == 0 ? blocks[i] : blocks[i] - previous - 1);
        previous = blocks[i];
    }
    return ListEncoding::Gaps;
}

struct DirectoryEntry
{
    uint32_t key;
    uint32_t offset;
    uint32_t crc;
};

} // namespace

BuildResult buildTrigramIndex(const BuildInput &input, const ByteSink &write, const Progress &progress)
{
    BuildResult result;
    const std::optional<FileStamp> stamp = stampOf(input.collectedPath);
    QFile file(input.collectedPath);
    if (!stamp || !file.open(QIODevice::ReadOnly))
        cannotRead(input.collectedPath, file.errorString());

    QString scratchPath = input.scratchPath;
    if (scratchPath.isEmpty()) {
        const QFileInfo info(input.collectedPath);
        scratchPath = info.absolutePath() + u"/."_s + info.fileName() + u".runs."_s
            + QString::number(QCoreApplication::applicationPid()) + u".tmp"_s;
    }
    RunFile runs(scratchPath);
    SliceCollector collector(input.slicePairs);
    const auto spill = [&] {
        runs.spill(collector.takeSorted());
        ++result.slices;
    };
    Scanner scanner(input.kind, collector, titleOffsets(input.titlesPath, stamp->size), spill);

    QByteArray buffer(ChunkSize + 8, Qt::Uninitialized);
    qint64 kept = 0;
    qint64 done = 0;
    while (done < stamp->size) {
        const qint64 want = std::min(ChunkSize, stamp->size - done);
        const qint64 got = file.read(buffer.data() + kept, want);
        if (got < 0)
            cannotRead(input.collectedPath, file.errorString());
        done += got;
        const bool atEnd = got == 0 || done >= stamp->size;
        const auto *d = reinterpret_cast<const unsigned char *>(buffer.constData());
        const qint64 used = scanner.feed(d, kept + got, atEnd);
        kept = kept + got - used;
        std::memmove(buffer.data(), buffer.constData() + used, size_t(kept));
        if (collector.full())
            spill(); // a block larger than a slice

        if (!progress.step(done, stamp->size)) {
            result.cancelled = true;
            return result;
        }
        if (got == 0)
            break; // the file shrank: the stamp tells
    }
    scanner.finish();
    const std::vector<qint64> starts = scanner.takeStarts();

    // The merge: every source in trigram order; one trigram's blocks in source order.
    std::vector<std::unique_ptr<ListSource>> sources;
    for (int i = 0; i < runs.runCount(); ++i)
        sources.push_back(runs.source(i));
    sources.push_back(memorySource(collector.takeSorted()));
    const int slices = result.slices + 1;
    using Head = std::pair<uint32_t, size_t>; // trigram, source
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (size_t i = 0; i < sources.size(); ++i)
        if (sources[i]->next())
            heads.push({sources[i]->trigram(), i});
    std::vector<size_t> holders;
    const ListFeed feed = [&](uint32_t &trigram, std::vector<uint32_t> &blocks) {
        if (heads.empty())
            return false;
        trigram = heads.top().first;
        holders.clear();
        while (!heads.empty() && heads.top().first == trigram) {
            holders.push_back(heads.top().second);
            heads.pop();
        }
        std::sort(holders.begin(), holders.end());
        blocks.clear();
        for (const size_t i : holders) {
            sources[i]->appendBlocks(blocks);
            if (sources[i]->next())
                heads.push({sources[i]->trigram(), i});
        }
        return true;
    };
    result = writeTrigramIndex(input.kind, *stamp, starts, feed, write, input.collectedPath,
                               [&] { return progress.step(done, stamp->size); });
    result.textBytes = done;
    result.slices = slices;
    return result;
}

BuildResult writeTrigramIndex(IndexedText kind, const FileStamp &stamp, const std::vector<qint64> &starts,
                              const ListFeed &feed, const ByteSink &write, const QString &collectedPath,
                              const std::function<bool()> &keepGoing)
{
    BuildResult result;
    const qint64 blockCount = qint64(starts.size());
    Output out(write);
    Header header;
    header.kind = kind;
    header.stamp = stamp;
    header.unicodeVersion = currentUnicodeVersion();
    out.append(encodeHeader(header));

    Footer footer;
    footer.blockCount = uint32_t(blockCount);
    {
        QByteArray table;
        qint64 previous = 0;
        for (const qint64 s : starts) {
            appendVarint(table, uint64_t(s - previous));
            previous = s;
        }
        footer.blockTableCrc = crc32(table);
        out.append(table);
    }

    footer.postingsOffset = out.offset();
    std::vector<DirectoryEntry> directory;
    std::vector<uint32_t> blocks;
    QByteArray list;
    const auto tooLarge = [&] {
        return Error(u"Der Trigramm-Index von \""_s + QDir::toNativeSeparators(collectedPath) + u"\" würde zu groß."_s);
    };
    uint32_t trigram = 0;
    while (feed(trigram, blocks)) {
        const ListEncoding encoding = encodeList(blocks, blockCount, list);
        const qint64 offset = out.offset() - footer.postingsOffset;
        if (offset > std::numeric_limits<uint32_t>::max())
            throw tooLarge();
        directory.push_back({trigram << 8 | uint32_t(encoding), uint32_t(offset), crc32(list)});
        out.append(list);
        if (keepGoing && directory.size() % 65536 == 0 && !keepGoing()) {
            result.cancelled = true;
            return result;
        }
    }
    if (out.offset() - footer.postingsOffset > std::numeric_limits<uint32_t>::max())
        throw tooLarge();

    footer.trigramCount = uint32_t(directory.size());
    footer.directoryOffset = out.offset();
    QByteArray pages;
    for (size_t first = 0; first < directory.size(); first += PageEntries) {
        QByteArray page;
        const size_t end = std::min(directory.size(), first + size_t(PageEntries));
        for (size_t i = first; i < end; ++i) {
            appendU32(page, directory[i].key);
            appendU32(page, directory[i].offset);
            appendU32(page, directory[i].crc);
        }
        appendU32(pages, directory[first].key);
        appendU32(pages, crc32(page));
        out.append(page);
    }
    footer.pageIndexOffset = out.offset();
    footer.pageIndexCrc = crc32(pages);
    out.append(pages);
    out.append(encodeFooter(footer));
    out.flush();

    result.blocks = blockCount;
    result.trigrams = qint64(directory.size());
    result.indexBytes = out.offset();
    return result;
}

} // namespace vespira::index
