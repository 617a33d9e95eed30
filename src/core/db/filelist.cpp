#include "core/db/filelist.h"

#include "core/common/error.h"
#include "core/common/text.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace vespira::db {

namespace {

QByteArrayView cutLine(QByteArrayView line)
{
    const qsizetype crlf = line.indexOf("\r\n");
    if (crlf >= 0)
        return line.first(crlf);
    // A bare LF ends the line as well (files edited on Linux).
    const qsizetype lf = line.indexOf('\n');
    return lf >= 0 ? line.first(lf) : line;
}

QString decodeLine(QByteArrayView line)
{
    return text::trimControl(text::fromUtf8Lenient(cutLine(line)));
}

void openOrThrow(QFile &file)
{
    if (!file.exists())
        throw Error(u"Die Datenbankdatei \"%1\" existiert nicht."_s.arg(QDir::toNativeSeparators(file.fileName())));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(u"Die Datenbankdatei \"%1\" kann nicht gelesen werden: %2"_s.arg(
            QDir::toNativeSeparators(file.fileName()), file.errorString()));
}

} // namespace

QString parseHeaderLine(QByteArrayView firstLine)
{
    QByteArray line = cutLine(firstLine).toByteArray();
    const qsizetype at = line.indexOf(HeaderKey);
    if (at >= 0)
        line.remove(at, qsizetype(sizeof HeaderKey) - 1);
    return text::trimControl(text::fromUtf8Lenient(line));
}

QString readHeader(const QString &fileListPath)
{
    QFile file(fileListPath);
    openOrThrow(file);
    return parseHeaderLine(file.readLine());
}

QChar readDriveLetter(const QString &fileListPath)
{
    const QString header = readHeader(fileListPath);
    return header.isEmpty() ? QChar() : header.at(0);
}

QString documentMarker(QChar drive)
{
    QString marker = u"#"_s;
    if (!drive.isNull())
        marker += drive;
    return marker + u":\\"_s;
}

QString readFirstDocumentPath(const QString &fileListPath)
{
    QFile file(fileListPath);
    openOrThrow(file);
    file.readLine();
    if (file.atEnd())
        return {};
    return decodeLine(file.readLine());
}

QStringList readDocumentPaths(const QString &fileListPath)
{
    QFile file(fileListPath);
    openOrThrow(file);
    file.readLine();
    QStringList result;
    while (!file.atEnd()) {
        const QString path = decodeLine(file.readLine());
        if (!path.isEmpty())
            result.append(path);
    }
    return result;
}

} // namespace vespira::db
