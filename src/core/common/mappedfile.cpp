#include "core/common/mappedfile.h"

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/mman.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#endif

namespace vespira {

namespace {

qint64 pageSize()
{
#ifdef Q_OS_UNIX
    static const qint64 size = ::sysconf(_SC_PAGESIZE) > 0 ? ::sysconf(_SC_PAGESIZE) : 4096;
    return size;
#else
    return 65536;
#endif
}

} // namespace

#ifdef Q_OS_UNIX
// The helper thread: maps (and sets up) the window asked for next, and unmaps windows the
// caller is done with. The caller takes the next window when it covers what it asks for,
// waiting for it while it is being made.
struct MappedFile::ReadAhead
{
    struct Window
    {
        uchar *map = nullptr;
        qint64 start = 0;
        qint64 length = 0;

        bool covers(qint64 offset, qint64 size) const
        {
            return offset >= start && offset + size <= start + length;
        }
    };

    explicit ReadAhead(int fd)
        : m_fd {fd}
        , m_thread {[this] { run(); }}
    {
    }

    ~ReadAhead()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
        for (const Window &w : m_unmaps)
            ::munmap(w.map, size_t(w.length));
        if (m_ready.map)
            ::munmap(m_ready.map, size_t(m_ready.length));
    }

    // Maps [start, start + length) next; a window made before and not taken is dropped.
    void request(qint64 start, qint64 length)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_job = {nullptr, start, length};
            m_jobPending = true;
        }
        m_wake.notify_all();
    }

    // The next window when it covers [offset, offset + size) and ends within fileSize.
    Window take(qint64 offset, qint64 size, qint64 fileSize)
    {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] {
            return !(m_busy && m_inFlight.covers(offset, size)) && !(m_jobPending && m_job.covers(offset, size));
        });
        if (!m_ready.map || !m_ready.covers(offset, size) || m_ready.start + m_ready.length > fileSize)
            return {};
        const Window taken = m_ready;
        m_ready = {};
        return taken;
    }

    void unmapLater(uchar *map, qint64 length)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_unmaps.push_back({map, 0, length});
        }
        m_wake.notify_all();
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [&] { return m_stopping || m_jobPending || !m_unmaps.empty(); });
            if (m_stopping)
                return;
            std::vector<Window> old;
            old.swap(m_unmaps);
            const bool job = m_jobPending;
            if (job) {
                m_inFlight = m_job;
                m_jobPending = false;
                m_busy = true;
            }
            const Window wanted = m_inFlight;
            lock.unlock();
            for (const Window &w : old)
                ::munmap(w.map, size_t(w.length));
            Window made;
            if (job) {
                void *map = ::mmap(nullptr, size_t(wanted.length), PROT_READ, MAP_SHARED | MAP_POPULATE, m_fd,
                                   wanted.start);
                if (map != MAP_FAILED)
                    made = {static_cast<uchar *>(map), wanted.start, wanted.length};
            }
            lock.lock();
            if (job) {
                if (m_ready.map)
                    m_unmaps.push_back(m_ready);
                m_ready = made;
                m_busy = false;
                m_done.notify_all();
            }
        }
    }

    const int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_wake; // the helper: work or stop
    std::condition_variable m_done; // the caller: a window was made
    bool m_stopping = false;
    bool m_jobPending = false;
    bool m_busy = false;
    Window m_job;
    Window m_inFlight;
    Window m_ready;
    std::vector<Window> m_unmaps;
    std::thread m_thread; // last: it starts once everything above is made
};
#else
struct MappedFile::ReadAhead
{
};
#endif

MappedFile::MappedFile(const QString &fileName, qint64 windowBytes, bool populate)
    : m_file {fileName}
    , m_windowBytes {std::max<qint64>(windowBytes, 1)}
    , m_populate {populate}
{
    if (m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        m_size = m_file.size();
}

MappedFile::~MappedFile()
{
    unmap();
    m_readAhead.reset(); // before the file closes: the helper maps through its handle
}

void MappedFile::unmap()
{
    if (!m_map)
        return;
#ifdef Q_OS_UNIX
    // A window of a jumping reader goes at once: it maps one after the other, and a helper
    // that lags behind on a busy machine would keep them all in memory meanwhile.
    if (m_readAhead && m_mapWhole)
        m_readAhead->unmapLater(m_map, m_mapLength);
    else
        ::munmap(m_map, size_t(m_mapLength));
#else
    m_file.unmap(m_map);
#endif
    m_map = nullptr;
    m_mapLength = 0;
}

qint64 MappedFile::refreshSize()
{
    if (!m_file.isOpen())
        return 0;
    m_size = m_file.size();
    if (m_map && m_mapStart + m_mapLength > m_size)
        unmap();
    return m_size;
}

bool MappedFile::mapWindow(qint64 offset, qint64 length, bool jump)
{
    // A scan that reads on from the start or from the window gets its windows set up at
    // once and the next one made ahead. One that jumps (from one stretch of the index's
    // candidates to the next, or backward) reads little of a window: it gets one whose
    // pages are set up only where it reads, and a later jump within it costs nothing.
    const bool whole = !jump && (m_map ? offset >= m_mapStart && offset <= m_mapStart + m_mapLength : offset < m_windowBytes);
    unmap();
    const qint64 start = offset - offset % pageSize();
    const qint64 wanted = std::max(offset - start + length, m_windowBytes);
    const qint64 mapLength = std::min(wanted, m_size - start);
    if (mapLength <= 0)
        return false;
#ifdef Q_OS_UNIX
    // A scan reads on into the next windows: worth a helper when a window spans pages.
    if (whole && m_populate && !m_readAhead && !m_noReadAhead && m_windowBytes >= 4 * pageSize()) {
        try {
            m_readAhead = std::make_unique<ReadAhead>(m_file.handle());
        } catch (const std::system_error &) {
            m_noReadAhead = true; // no thread to be had: the scan maps its windows itself
        }
    }
    if (m_readAhead && whole) {
        const ReadAhead::Window next = m_readAhead->take(offset, length, m_size);
        if (next.map) {
            m_map = next.map;
            m_mapStart = next.start;
            m_mapLength = next.length;
            m_mapWhole = true;
            requestNext();
            return true;
        }
    }
    // Populated at once: one call sets up the pages a scan reads next, instead of a fault
    // per few pages while it reads them.
    void *map = ::mmap(nullptr, size_t(mapLength), PROT_READ, MAP_SHARED | (m_populate && whole ? MAP_POPULATE : 0),
                       m_file.handle(), start);
    if (map == MAP_FAILED)
        return false;
    m_map = static_cast<uchar *>(map);
    m_mapStart = start;
    m_mapLength = mapLength;
    m_mapWhole = whole;
    if (whole)
        requestNext();
    return true;
#else
    Q_UNUSED(whole);
    m_map = m_file.map(start, mapLength);
    if (!m_map)
        return false;
    m_mapStart = start;
    m_mapLength = mapLength;
    return true;
#endif
}

void MappedFile::requestNext()
{
#ifdef Q_OS_UNIX
    if (!m_readAhead)
        return;
    // The next window starts a little before this one ends (a quarter window, at most
    // 256 KB: more than a block of the scan reads), so a block that reads across the end of
    // this one finds itself whole in the next; the pages in both are set up twice.
    const qint64 quarter = std::min<qint64>(m_windowBytes / 4, 256 * 1024);
    const qint64 overlap = quarter - quarter % pageSize();
    const qint64 end = m_mapStart + m_mapLength;
    const qint64 start = std::max(m_mapStart + pageSize(), end - overlap);
    const qint64 length = std::min(m_windowBytes, m_size - start);
    if (end < m_size && length > 0)
        m_readAhead->request(start, length);
#endif
}

QByteArrayView MappedFile::view(qint64 offset, qint64 length, bool jump)
{
    if (!m_file.isOpen() || offset < 0 || offset >= m_size || length <= 0)
        return {};
    length = std::min(length, m_size - offset);
    const bool covered = m_map && offset >= m_mapStart && offset + length <= m_mapStart + m_mapLength;
    if (!covered && !mapWindow(offset, length, jump)) {
        m_failed = true;
        return {};
    }
    return QByteArrayView(m_map + (offset - m_mapStart), length);
}

} // namespace vespira
