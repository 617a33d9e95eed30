#pragma once

// TStreamSearch finds a text in a file of any size without loading it: it scans blocks of
// blockSize bytes (plus the longest possible match and one character on each side, so a
// match across a block edge is found once and whole words are judged by the characters
// truly next to the match in the file) and reports the byte offset and byte length of the
// match. A file is read through a read-only memory map of mapWindow bytes at a time (no
// copy, the next window mapped ahead); a stream the caller hands over is read into a
// buffer. Memory stays at two windows, whatever the file size. Results depend neither on the block size nor on the window;
// tests shrink both to put matches across edges.
//
//   TStreamSearch search;
//   search.setFileName(path);                       // throws Error when it cannot be opened
//   if (search.FindFirst(u"Haus"_s, 0, vEncUTF8, soWholeWords))
//       use(search.FoundStart(), search.FoundLength());
//   while (search.FindNext()) ...
//
// A forward search can be given the stretches of the file where a match can start at all
// (the trigram index's candidates for the text): it then scans only those and jumps over
// the rest, and finds the same match as without them.
//
// Errors: a failed read (or map) throws Error("Read error at offset <block start>"). A file
// that is shorter than the size taken at the start of a search (it shrank, or it is a file
// under /sys that reports more than it holds) ends where its bytes end: the size of a
// mapped file is taken again after every progress report (where the caller's code runs).

#include "core/common/mappedfile.h"
#include "core/common/progress.h"
#include "core/index/candidates.h"
#include "core/search/patternmatcher.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace vespira::search {

class TStreamSearch final
{
public:
    static constexpr int DefaultBlockSize = 65536;

    explicit TStreamSearch(int blockSize = DefaultBlockSize,
                           qint64 mapWindow = MappedFile::DefaultWindowBytes);
    ~TStreamSearch();
    TStreamSearch(const TStreamSearch &) = delete;
    TStreamSearch &operator=(const TStreamSearch &) = delete;

    // Opens the file for reading as an owned stream (closing an owned one first) and clears
    // the saved text. An empty name only closes. Throws Error(name + " kann nicht geöffnet
    // werden.") when the file cannot be opened.
    void setFileName(const QString &fileName);
    QString fileName() const { return m_fileName; }
    // The mapped file opened by setFileName, for reading around a match without a copy of
    // its own; null for a stream.
    MappedFile *mappedFile() const { return m_mapped.get(); }

    // Searches a stream the caller owns and keeps open (random access). Clears the saved
    // text and the file name.
    void setStream(QIODevice *stream);
    QIODevice *stream() const { return m_stream; }

    // Saves text, encoding and options and searches from startPosition. A backward search
    // from 0 starts at the end. Returns whether it found something. spans (forward only,
    // for this call only): where a match of text can start; null scans everything.
    bool FindFirst(const QString &text, qint64 startPosition, TTextEncoding encoding, int options,
                   const index::Candidates *spans = nullptr);

    // Searches again with the saved text, encoding and options: forward for a match that
    // starts after the last one, backward for one that starts before it.
    bool FindNext();
    bool FindPrevious();

    // The search window's find next: the options come from the caller each time (the
    // window's check boxes), and while a search run is in progress the run's current
    // pattern replaces the saved text (pass it as pattern). The backward bit of options
    // gives the direction; spans as for FindFirst, for the text searched now.
    bool FindNext(int options, const std::optional<QString> &pattern, const index::Candidates *spans = nullptr);

    qint64 FoundStart() const { return m_foundStart; }
    qint64 FoundLength() const { return m_foundLength; }
    int CharSize() const { return m_charSize; }

    // Told the current position and the stream size before a search and after each window;
    // a stop it asks for ends the search with nothing found.
    void setProgress(Progress progress) { m_progress = std::move(progress); }

private:
    bool search(const QString &text, TTextEncoding encoding, int options, qint64 startPosition,
                std::optional<qint64> maxStartBackward, const index::Candidates *spans);
    bool searchForward(const PatternMatcher &matcher, qint64 position, qint64 size, const index::Candidates *spans);
    bool searchBackward(const PatternMatcher &matcher, qint64 maxStart, qint64 size);
    struct Window
    {
        const unsigned char *data;
        qint64 base;
        qint64 size;
        bool endOfStream; // a read came short: the stream ends at base + size
    };
    // The bytes from offset on: from the mapped file, or for a stream from the last read
    // when it holds enough of them, else read afresh (length bytes, fewer at the end).
    Window windowAt(qint64 offset, qint64 length, qint64 size, bool jump = false);
    // The stream's size now (for a mapped file taken again when a report came between).
    qint64 currentSize();
    // Reads length bytes from offset into the buffer and returns how many came; fewer mean
    // the stream ends there, whatever size it reported.
    qint64 readAt(qint64 offset, qint64 length);
    bool progress(qint64 position, qint64 size);
    void closeOwned();

    int m_blockSize;
    qint64 m_mapWindow;
    Progress m_progress;
    std::unique_ptr<MappedFile> m_mapped;
    bool m_sizeKnown = false; // m_mapped's size was taken after the last progress report
    QIODevice *m_stream = nullptr;
    QString m_fileName;
    qint64 m_streamStart = 0;
    qint64 m_streamSize = 0;
    qint64 m_foundStart = -1;
    qint64 m_foundLength = 0;
    int m_charSize = 1;
    QString m_savedText;
    TTextEncoding m_savedEncoding = vEncANSI;
    int m_savedOptions = 0;
    std::vector<unsigned char> m_buffer;
    qint64 m_bufferBase = 0;
    qint64 m_bufferSize = 0; // bytes of m_buffer that hold the stream from m_bufferBase
    bool m_bufferAtEnd = false; // the last read came short: the stream ended after it
};

} // namespace vespira::search
