#include "core/index/filestamp.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace vespira::index {

namespace {

constexpr qint64 SampleSize = 4096;
constexpr qint64 Samples = 32;

} // namespace

std::optional<FileStamp> stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    QFile file(path);
    // Unbuffered: the samples are read as they are, not 16 KB around each of them.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = file.size();
    stamp.modifiedMs = info.lastModified().toMSecsSinceEpoch();

    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray buffer(SampleSize, Qt::Uninitialized);
    const qint64 span = stamp.size > SampleSize * Samples ? stamp.size - SampleSize : 0;
    for (qint64 i = 0; i < Samples; ++i) {
        const qint64 offset = span > 0 ? span * i / (Samples - 1) : i * SampleSize;
        if (offset >= stamp.size)
            break;
        if (!file.seek(offset))
            return std::nullopt;
        const qint64 got = file.read(buffer.data(), SampleSize);
        if (got < 0)
            return std::nullopt;
        hash.addData(QByteArrayView(buffer.constData(), got));
    }
    const QByteArray digest = hash.result();
    std::memcpy(stamp.digest.data(), digest.constData(), stamp.digest.size());
    return stamp;
}

} // namespace vespira::index
