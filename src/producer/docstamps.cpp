#include "producer/docstamps.h"

#include "producer/extractorversion.h"

#include <QList>

namespace vespira::producer {

namespace {

constexpr char VersionKey[] = "EXTRAKTOR=";

} // namespace

QByteArray stampsHeader()
{
    return VersionKey + QByteArray::number(ExtractorVersion) + "\r\n";
}

QByteArray stampLine(const DocumentStamp &stamp, const QString &documentPath)
{
    return QByteArray::number(stamp.size) + ' ' + QByteArray::number(stamp.modifiedMs) + ' ' + documentPath.toUtf8()
        + "\r\n";
}

StoredStamps parseStamps(QByteArrayView bytes)
{
    StoredStamps stored;
    const QList<QByteArray> lines = QByteArray::fromRawData(bytes.data(), bytes.size()).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArrayView line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == 0) {
            if (line.startsWith(VersionKey))
                stored.extractorVersion = line.sliced(sizeof(VersionKey) - 1).toInt();
            continue;
        }
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
        if (second < 0)
            continue;
        bool sizeOk = false;
        bool timeOk = false;
        DocumentStamp stamp;
        stamp.size = line.first(first).toLongLong(&sizeOk);
        stamp.modifiedMs = line.sliced(first + 1, second - first - 1).toLongLong(&timeOk);
        if (sizeOk && timeOk && stamp.size >= 0)
            stored.documents.insert(QString::fromUtf8(line.sliced(second + 1)), stamp);
    }
    return stored;
}

} // namespace vespira::producer
