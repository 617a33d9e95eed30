#include "core/common/mappedfile.h"

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/mman.h>
#include <unistd.h>
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
}

void MappedFile::unmap()
{
    if (!m_map)
        return;
#ifdef Q_OS_UNIX
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

bool MappedFile::mapWindow(qint64 offset, qint64 length)
{
    unmap();
    const qint64 start = offset - offset % pageSize();
    const qint64 wanted = std::max(offset - start + length, m_windowBytes);
    const qint64 mapLength = std::min(wanted, m_size - start);
    if (mapLength <= 0)
        return false;
#ifdef Q_OS_UNIX
    // Populated at once: one call sets up the pages a scan reads next, instead of a fault
    // per few pages while it reads them.
    void *map = ::mmap(nullptr, size_t(mapLength), PROT_READ, MAP_SHARED | (m_populate ? MAP_POPULATE : 0),
                       m_file.handle(), start);
    if (map == MAP_FAILED)
        return false;
    m_map = static_cast<uchar *>(map);
#else
    m_map = m_file.map(start, mapLength);
    if (!m_map)
        return false;
#endif
    m_mapStart = start;
    m_mapLength = mapLength;
    return true;
}

QByteArrayView MappedFile::view(qint64 offset, qint64 length)
{
    if (!m_file.isOpen() || offset < 0 || offset >= m_size || length <= 0)
        return {};
    length = std::min(length, m_size - offset);
    const bool covered = m_map && offset >= m_mapStart && offset + length <= m_mapStart + m_mapLength;
    if (!covered && !mapWindow(offset, length)) {
        m_failed = true;
        return {};
    }
    return QByteArrayView(m_map + (offset - m_mapStart), length);
}

} // namespace vespira
