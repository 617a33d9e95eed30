#pragma once

// Read-only access to a file of any size through a memory-mapped window: asking for bytes
// outside the window maps a new one in place of the old, so a scan touches the file without
// copying it and holds at most two windows in memory (the one it reads and the next).
// Offsets are 64-bit. Windows are windowBytes long; asking for bytes elsewhere than at the
// file's start or on from the window (a jump) maps one whose pages are set up only where
// they are read.
//
// With populate, the windows' pages are set up when they are mapped, and a helper thread
// maps and sets up the next window while the caller reads the current one, and unmaps
// the old ones: setting page tables up and tearing them down is what a mapped scan costs
// besides its reading, and so it runs beside the scan. The helper touches nothing but
// mappings of this file; everything else stays on the caller's thread.
//
//   MappedFile file(path);                        // isOpen() tells whether it opened
//   const QByteArrayView bytes = file.view(offset, 4096);
//
// Invariants: the window never reaches past the size last taken (size() re-takes it), so a
// file that shrank is never touched beyond its end. The view stays valid until the next
// call of view() or refreshSize() that moves or drops the window. A file cut short by
// another process while its window is being read is the one case this cannot see; the
// producer of the collected files writes a new file and renames it into place, which
// leaves an open file whole.

#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>

namespace vespira {

class MappedFile
{
public:
    static constexpr qint64 DefaultWindowBytes = 4 * 1024 * 1024;

    // populate: set a window's pages up when it is mapped, for a scan that reads it whole
    // (a find that may stop early leaves it off).
    explicit MappedFile(const QString &fileName, qint64 windowBytes = DefaultWindowBytes, bool populate = true);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_file.errorString(); }

    // The size taken last (at opening, or by refreshSize()).
    qint64 size() const { return m_size; }
    // Takes the file's current size again; a window beyond a new, smaller end is dropped.
    qint64 refreshSize();

    // The bytes [offset, offset + length), fewer at the end of the file; empty for an
    // offset outside it or when the window cannot be mapped (failed() then tells).
    // jump: the caller skipped ahead to read a little here (the next stretch of the trigram
    // index's candidates); a window mapped for it is set up only where it is read.
    QByteArrayView view(qint64 offset, qint64 length, bool jump = false);
    bool failed() const { return m_failed; }

private:
    struct ReadAhead;

    bool mapWindow(qint64 offset, qint64 length, bool jump);
    void unmap();
    void requestNext();

    QFile m_file;
    qint64 m_windowBytes;
    bool m_populate;
    qint64 m_size = 0;
    bool m_failed = false;
    uchar *m_map = nullptr;       // the whole mapping, from m_mapStart (page aligned)
    qint64 m_mapStart = 0;
    qint64 m_mapLength = 0;
    bool m_mapWhole = false;      // set up at once, for a reader that reads on
    std::unique_ptr<ReadAhead> m_readAhead; // made with the first window it can serve
    bool m_noReadAhead = false;
};

} // namespace vespira
