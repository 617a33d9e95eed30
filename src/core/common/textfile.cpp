#include "core/common/textfile.h"

#include "core/common/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <QStringEncoder>

using namespace Qt::Literals::StringLiterals;

namespace vespira {

QByteArray encodeText(const QString &text, CodePage codePage)
{
    switch (codePage) {
    case CodePage::Utf8:
        return text.toUtf8();
    case CodePage::Utf16LE: {
        QByteArray bytes("\xFF\xFE", 2);
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        bytes += encoder.encode(text);
        return bytes;
    }
    case CodePage::Ansi: {
        QStringEncoder encoder("windows-1252");
        return encoder.encode(text);
    }
    }
    return {};
}

QString writeFailureReason(const QFileDevice &file, qint64 written, qint64 wanted)
{
    if (written >= 0 && written < wanted)
        return u"nur %1 von %2 Bytes passten, der Datenträger ist voll"_s.arg(written).arg(wanted);
    return file.errorString();
}

void writeFileAtomic(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write that the disk takes only in part (full disk, file size
    // limit) was flushed at commit time as if it had gone through, leaving a cut file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht geschrieben werden: "_s + file.errorString());
    const qint64 written = file.write(bytes);
    if (written != bytes.size() || !file.commit()) {
        const QString reason = writeFailureReason(file, written, bytes.size());
        file.cancelWriting();
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht geschrieben werden: "_s + reason);
    }
}

void writeFileReplacing(const QString &path, const QByteArray &bytes, const QString &spare)
{
    const QString partial = path + u".part"_s + QString::number(QCoreApplication::applicationPid());
    if (!spare.isEmpty()
        && std::rename(QFile::encodeName(spare).constData(), QFile::encodeName(partial).constData()) != 0)
        QFile::remove(spare);
    QFile file(partial);
    auto fail = [&](const QString &reason) {
        file.close();
        QFile::remove(partial);
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht geschrieben werden: "_s + reason);
    };
    // A spare is overwritten and then cut to size, not emptied first: ext4 writes a file
    // emptied and written again out to disk at once when it is closed, and that wait is
    // what the spare is there to avoid.
    // (WriteOnly alone would empty it: Qt opens it with O_TRUNC.)
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        fail(file.errorString());
    const qint64 written = file.write(bytes);
    if (written != bytes.size())
        fail(writeFailureReason(file, written, bytes.size()));
    if (file.size() != bytes.size() && !file.resize(bytes.size()))
        fail(file.errorString());
    file.close();
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
}

void WriteToStream(const QString &text, const QString &fileName, CodePage codePage)
{
    writeFileAtomic(fileName, encodeText(text, codePage));
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht gelesen werden: "_s + file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht gelesen werden: "_s + file.errorString());
    return bytes;
}

void emptyFolder(const QString &folder)
{
    QDir dir(folder);
    if (!dir.exists())
        return;
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace vespira
