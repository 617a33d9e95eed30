#include "producer/tempoutput.h"

#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/common/textfile.h"
#include "core/db/dbfiles.h"

#include <QDir>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vespira::producer {

TempOutput::TempOutput(const QString &programFolder, const QString &name, const QString &suffix)
    : m_final(db::filePath(programFolder, name, suffix))
    , m_file(paths::withSlash(programFolder) + QString::fromUtf16(paths::Datenbank) + u'.' + name + suffix + u'.'
             + QString::number(::getpid()) + u".tmp"_s)
{
}

TempOutput::~TempOutput()
{
    if (!m_committed) {
        m_file.close();
        QFile::remove(m_file.fileName());
    }
}

namespace {

constexpr qsizetype BufferSize = 64 * 1024;
// Written data beyond this goes to the disk in the background while the build goes on.
constexpr qint64 WritebackStep = 8 * 1024 * 1024;

void startWriteback(int fd)
{
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(fd);
#endif
}

} // namespace

void TempOutput::write(const QByteArray &bytes)
{
    if (!m_file.isOpen() && !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail();
    m_size += bytes.size();
    if (m_pending.size() + bytes.size() < BufferSize) {
        m_pending += bytes;
        return;
    }
    writeThrough(m_pending);
    m_pending.clear();
    if (bytes.size() < BufferSize)
        m_pending = bytes;
    else
        writeThrough(bytes);
}

void TempOutput::copyFrom(int sourceFd, qint64 offset, qint64 length)
{
    if (!m_file.isOpen() && !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail();
    writeThrough(m_pending);
    m_pending.clear();
    const int target = m_file.handle();
    // Without an output offset the kernel copies to the file position and moves it on, as
    // the writes that follow expect.
    loff_t from = offset;
    qint64 left = length;
    while (left > 0) {
        const ssize_t copied = ::copy_file_range(sourceFd, &from, target, nullptr, size_t(left), 0);
        if (copied > 0) {
            left -= copied;
            continue;
        }
        if (copied == 0) // the source is shorter than it was
            fail(u"Die Datenbank wurde während der Aktualisierung verändert."_s);
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            fail(QString::fromLocal8Bit(std::strerror(errno)));
        // A file system without the kernel copy: through a buffer.
        QByteArray buffer(qsizetype(std::min<qint64>(left, 1 << 20)), Qt::Uninitialized);
        while (left > 0) {
            const ssize_t got = ::pread(sourceFd, buffer.data(), size_t(std::min<qint64>(left, buffer.size())), from);
            if (got <= 0)
                fail(got < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : u"Die Datenbank wurde während der Aktualisierung verändert."_s);
            writeThrough(QByteArray::fromRawData(buffer.constData(), got));
            from += got;
            left -= got;
        }
        break;
    }
    m_size += length;
    m_unsynced += length;
}

void TempOutput::writeThrough(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const qint64 written = m_file.write(bytes);
    if (written != bytes.size())
        fail(writeFailureReason(m_file, written, bytes.size()));
    m_unsynced += written;
    if (m_unsynced >= WritebackStep) {
        startWriteback(m_file.handle());
        m_unsynced = 0;
    }
}

void TempOutput::flush()
{
    if (m_finished || !m_file.isOpen())
        return;
    writeThrough(m_pending);
    m_pending.clear();
    startWriteback(m_file.handle());
    m_unsynced = 0;
}

void TempOutput::finish()
{
    if (m_finished)
        return;
    writeThrough(m_pending);
    m_pending.clear();
    if (!m_file.flush() || ::fsync(m_file.handle()) != 0)
        fail();
    m_file.close();
    m_finished = true;
}

void TempOutput::commit()
{
    if (std::rename(QFile::encodeName(m_file.fileName()).constData(), QFile::encodeName(m_final).constData()) != 0)
        throw Error(u"Die Datei \"%1\" kann nicht angelegt werden: %2"_s.arg(
            m_final, QString::fromLocal8Bit(std::strerror(errno))));
    m_committed = true;
}

// Names the file the user will look for, not its temporary name.
void TempOutput::fail(const QString &reason)
{
    throw Error(u"Die Datei \"%1\" kann nicht geschrieben werden: %2"_s.arg(
        QDir::toNativeSeparators(m_final), reason.isEmpty() ? m_file.errorString() : reason));
}

void removeOrphans(const QString &dataFolder, const QString &name)
{
    const QStringList entries = QDir(dataFolder).entryList({u"."_s + name + u"*.tmp"_s}, QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(u'.');
        if (parts.size() < 3)
            continue;
        bool ok = false;
        const qint64 pid = parts.at(parts.size() - 2).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(dataFolder + entry);
    }
}

} // namespace vespira::producer
