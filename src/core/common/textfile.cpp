#include "core/common/textfile.h"

#include "core/common/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

void writeFileAtomic(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht geschrieben werden: "_s + file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path)
                    + u"\" kann nicht geschrieben werden: "_s + reason);
    }
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
