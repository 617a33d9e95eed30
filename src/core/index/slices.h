#pragma once

// The build's bounded memory: (trigram, block) pairs are gathered for a slice of the
// collected file, sorted a piece at a time, and spilled to a scratch file as a run of
// posting lists when the slice is full; the merge reads all runs side by side in trigram
// order. Blocks number up from 0 in file order, so a trigram's blocks from consecutive
// pieces or slices only need to be put one after the other.
//
// A run on disk: per trigram, ascending: varint trigram, varint count, varint gaps of the
// blocks (the first from 0, then block - previous - 1).

#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <queue>
#include <utility>
#include <vector>

namespace vespira::index {

// The pairs of one piece of a slice, each block's trigrams once.
class SliceCollector
{
public:
    explicit SliceCollector(qint64 capacity);

    void beginBlock(uint32_t block);
    // Adds a trigram of the current block; repeats within the block are dropped.
    [[gnu::always_inline]] void add(uint32_t trigram)
    {
        uint64_t &word = m_seen[trigram >> 6];
        const uint64_t bit = uint64_t(1) << (trigram & 63);
        if (word & bit)
            return;
        word |= bit;
        m_pairs.push_back(uint64_t(trigram) << 32 | m_block);
    }
    void endBlock();

    bool full() const { return qint64(m_pairs.size()) >= m_capacity; }
    bool empty() const { return m_pairs.empty(); }

    // The pairs so far, sorted by trigram and then block; the collector starts a new slice
    // (the current block keeps its record of trigrams already seen).
    std::vector<uint64_t> takeSorted();

private:
    qint64 m_capacity;
    uint32_t m_block = 0;
    size_t m_blockBegin = 0;    // first pair of the current block in m_pairs
    bool m_blockSplit = false;  // part of the current block's pairs went with a taken slice
    std::vector<uint64_t> m_seen; // one bit per trigram: in the current block already
    std::vector<uint64_t> m_pairs; // trigram << 32 | block
};

// Posting lists in ascending trigram order, from one slice in memory or one run on disk.
class ListSource
{
public:
    virtual ~ListSource() = default;
    // Moves to the next trigram; false after the last.
    virtual bool next() = 0;
    uint32_t trigram() const { return m_trigram; }
    // Appends the current trigram's blocks, ascending.
    virtual void appendBlocks(std::vector<uint32_t> &blocks) = 0;

protected:
    uint32_t m_trigram = 0;
};

std::unique_ptr<ListSource> memorySource(std::vector<uint64_t> sortedPairs);

// Several sources read as one, in trigram order; a trigram's blocks come from the sources in
// their order, which must be that of their blocks.
class ListMerge
{
public:
    explicit ListMerge(std::vector<std::unique_ptr<ListSource>> sources);
    // The next trigram and its blocks (replacing what `blocks` held); false after the last.
    bool next(uint32_t &trigram, std::vector<uint32_t> &blocks);

private:
    using Head = std::pair<uint32_t, size_t>; // trigram, source
    std::vector<std::unique_ptr<ListSource>> m_sources;
    std::priority_queue<Head, std::vector<Head>, std::greater<>> m_heads;
    std::vector<size_t> m_holders;
};

// The scratch file that holds the spilled runs; removed with the object.
class RunFile
{
public:
    explicit RunFile(const QString &path);
    ~RunFile();
    RunFile(const RunFile &) = delete;
    RunFile &operator=(const RunFile &) = delete;

    // Appends sorted pairs, or the lists of a merge, as one run. Throws Error when the file
    // cannot be written.
    void spill(std::vector<uint64_t> sortedPairs);
    void spill(ListMerge &lists);
    int runCount() const { return int(m_runs.size()); }
    // A reader of run i with a buffer of its own. Throws Error on a read failure.
    std::unique_ptr<ListSource> source(int i);

private:
    struct Run
    {
        qint64 begin;
        qint64 end;
    };
    QString m_path;
    QFile m_file;
    std::vector<Run> m_runs;
};

} // namespace vespira::index
