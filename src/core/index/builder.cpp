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
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

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
    const db::TitlePositions titles = db::TitlePositions::map(titlesPath);
    for (const qint64 offset : titles.offsets())
        if (offset > 0 && offset < fileSize)
            offsets.push_back(offset);
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

    // A title offset beyond the ones given so far; before any byte at it is fed.
    void addTitle(qint64 offset)
    {
        if (offset > (m_titles.empty() ? 0 : m_titles.back()))
            m_titles.push_back(offset);
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

QString scratchPathOf(const BuildInput &input)
{
    if (!input.scratchPath.isEmpty())
        return input.scratchPath;
    const QFileInfo info(input.collectedPath);
    return info.absolutePath() + u"/."_s + info.fileName() + u".runs."_s
        + QString::number(QCoreApplication::applicationPid()) + u".tmp"_s;
}

// Reads a collected file front to back in chunks, folds it into the slices, and writes the
// index from them at the end. The reading may stop anywhere and go on later: the scanner
// keeps the bytes it could not use yet at the front of the buffer.
//
// A slice is sorted in pieces of an eighth of it, at most PiecePairs pairs, as they come:
// they stay in the caches and leave little to sort at the end, when nothing else goes on.
class TextScan
{
public:
    static constexpr qint64 PiecePairs = qint64(1) << 18;

    TextScan(const BuildInput &input, std::vector<qint64> titles)
        : m_kind(input.kind)
        , m_file(input.collectedPath)
        , m_slicePairs(input.slicePairs)
        , m_runs(scratchPathOf(input))
        , m_collector(std::clamp<qint64>(input.slicePairs / 8, 1, PiecePairs))
        , m_scanner(input.kind, m_collector, std::move(titles), [this] { spill(); })
        , m_buffer(ChunkSize + 8, Qt::Uninitialized)
    {
    }

    // Unbuffered, so that reading up to where a growing file ends keeps nothing back.
    bool open() { return m_file.isOpen() || m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    QString errorString() const { return m_file.errorString(); }
    void addTitle(qint64 offset) { m_scanner.addTitle(offset); }
    qint64 done() const { return m_done; }

    // Reads on up to byte end of the file, `last` when the file ends there, with step()
    // after each chunk: false from it stops the reading and is returned. Short of the end
    // of a growing file, a read that finds nothing more ends the call.
    template <typename Step>
    bool readTo(qint64 end, bool last, const Step &step)
    {
        if (!open())
            cannotRead(m_file.fileName(), m_file.errorString());
        while (m_done < end) {
            const qint64 want = std::min(ChunkSize, end - m_done);
            const qint64 got = m_file.read(m_buffer.data() + m_kept, want);
            if (got < 0)
                cannotRead(m_file.fileName(), m_file.errorString());
            m_done += got;
            if (got == 0 && !last)
                return true;
            feed(got, last && (got == 0 || m_done >= end));
            if (!step())
                return false;
            if (got == 0)
                break; // the file shrank: the stamp tells
        }
        if (last && !m_atEnd)
            feed(0, true); // the units held back when the reading stopped at end before
        return true;
    }

    BuildResult write(const FileStamp &stamp, const ByteSink &sink, const std::function<bool()> &keepGoing)
    {
        m_scanner.finish();
        const std::vector<qint64> starts = m_scanner.takeStarts();

        // Every source in the order of its blocks: the runs on disk, the pieces, the rest.
        std::vector<std::unique_ptr<ListSource>> sources;
        for (int i = 0; i < m_runs.runCount(); ++i)
            sources.push_back(m_runs.source(i));
        for (std::vector<uint64_t> &piece : m_sorted)
            sources.push_back(memorySource(std::move(piece)));
        m_sorted.clear();
        sources.push_back(memorySource(m_collector.takeSorted()));
        const int slices = int(sources.size());
        ListMerge lists(std::move(sources));
        const ListFeed feed = [&](uint32_t &trigram, std::vector<uint32_t> &blocks) {
            return lists.next(trigram, blocks);
        };
        BuildResult result = writeTrigramIndex(m_kind, stamp, starts, feed, sink, m_file.fileName(), keepGoing);
        result.textBytes = m_done;
        result.slices = slices;
        return result;
    }

private:
    // The collector is full: its pairs become a sorted piece, kept in memory until the
    // pieces hold a slice, which then goes to the scratch file as one run.
    void spill()
    {
        m_sorted.push_back(m_collector.takeSorted());
        m_sortedPairs += qint64(m_sorted.back().size());
        if (m_sortedPairs < m_slicePairs)
            return;
        if (m_sorted.size() == 1) {
            m_runs.spill(std::move(m_sorted.front()));
        } else {
            std::vector<std::unique_ptr<ListSource>> sources;
            for (std::vector<uint64_t> &piece : m_sorted)
                sources.push_back(memorySource(std::move(piece)));
            ListMerge lists(std::move(sources));
            m_runs.spill(lists);
        }
        m_sorted.clear();
        m_sortedPairs = 0;
    }

    void feed(qint64 got, bool atEnd)
    {
        const auto *d = reinterpret_cast<const unsigned char *>(m_buffer.constData());
        const qint64 used = m_scanner.feed(d, m_kept + got, atEnd);
        m_kept = m_kept + got - used;
        std::memmove(m_buffer.data(), m_buffer.constData() + used, size_t(m_kept));
        m_atEnd = atEnd;
        if (m_collector.full())
            spill(); // a block larger than a piece
    }

    IndexedText m_kind;
    QFile m_file;
    qint64 m_slicePairs;
    RunFile m_runs;
    std::vector<std::vector<uint64_t>> m_sorted; // the pieces of the slice being gathered
    qint64 m_sortedPairs = 0;
    SliceCollector m_collector;
    Scanner m_scanner;
    QByteArray m_buffer;
    qint64 m_kept = 0; // bytes at the front of m_buffer the scanner has yet to use
    qint64 m_done = 0; // bytes of the file read
    bool m_atEnd = false;
};

} // namespace

BuildResult buildTrigramIndex(const BuildInput &input, const ByteSink &write, const Progress &progress)
{
    const std::optional<FileStamp> stamp = stampOf(input.collectedPath);
    TextScan scan(input, stamp ? titleOffsets(input.titlesPath, stamp->size) : std::vector<qint64> {});
    if (!stamp || !scan.open())
        cannotRead(input.collectedPath, scan.errorString());
    const auto keepGoing = [&] { return progress.step(scan.done(), stamp->size); };
    if (!scan.readTo(stamp->size, true, keepGoing)) {
        BuildResult result;
        result.cancelled = true;
        return result;
    }
    return scan.write(*stamp, write, keepGoing);
}

// Between the writer and the thread: the writer adds titles and moves `written` on; the
// thread takes both together, so it never reads a byte whose title it has not been given.
struct FollowingBuild::State
{
    State(const BuildInput &input, qint64 readStep)
        : collectedPath(input.collectedPath)
        , step(std::max<qint64>(readStep, 1))
        , scan(input, {})
    {
    }

    // Reads up to what is written, with the titles given so far.
    void readNew()
    {
        std::vector<qint64> titles;
        qint64 end = 0;
        {
            std::lock_guard lock(mutex);
            titles.swap(newTitles);
            end = taken = written;
        }
        for (const qint64 t : titles)
            scan.addTitle(t);
        scan.readTo(end, false, [this] {
            std::lock_guard lock(mutex);
            return !stop;
        });
    }

    void follow()
    {
        try {
            for (;;) {
                {
                    std::unique_lock lock(mutex);
                    wake.wait(lock, [this] { return stop || written - taken >= step; });
                    if (stop)
                        return;
                }
                readNew();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            failure = std::current_exception();
        }
    }

    void join()
    {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        wake.notify_one();
        if (thread.joinable())
            thread.join();
    }

    QString collectedPath;
    qint64 step;
    TextScan scan; // the reader's: the thread's until it is joined
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<qint64> newTitles;
    qint64 written = 0;
    qint64 taken = 0; // what the thread was told to read up to
    bool stop = false;
    std::exception_ptr failure;
    std::thread thread;
};

FollowingBuild::FollowingBuild(const BuildInput &input, Reader reader, qint64 readStep)
    : m_state(std::make_unique<State>(input, readStep))
{
    if (reader == Reader::OwnThread)
        m_state->thread = std::thread([state = m_state.get()] { state->follow(); });
}

FollowingBuild::~FollowingBuild()
{
    m_state->join();
}

void FollowingBuild::addTitle(qint64 offset)
{
    std::lock_guard lock(m_state->mutex);
    m_state->newTitles.push_back(offset);
}

void FollowingBuild::written(qint64 size)
{
    bool wakeUp = false;
    {
        std::lock_guard lock(m_state->mutex);
        if (size <= m_state->written)
            return;
        m_state->written = size;
        wakeUp = size - m_state->taken >= m_state->step;
    }
    if (!wakeUp)
        return;
    if (m_state->thread.joinable())
        m_state->wake.notify_one();
    else
        m_state->readNew();
}

BuildResult FollowingBuild::finish(const ByteSink &write, const Progress &progress)
{
    State &state = *m_state;
    state.join();
    if (state.failure)
        std::rethrow_exception(state.failure);
    for (const qint64 t : state.newTitles)
        state.scan.addTitle(t);
    state.newTitles.clear();
    const std::optional<FileStamp> stamp = stampOf(state.collectedPath);
    if (!stamp || !state.scan.open())
        cannotRead(state.collectedPath, state.scan.errorString());
    const auto keepGoing = [&] { return progress.step(state.scan.done(), stamp->size); };
    if (!state.scan.readTo(stamp->size, true, keepGoing)) {
        BuildResult result;
        result.cancelled = true;
        return result;
    }
    return state.scan.write(*stamp, write, keepGoing);
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
