#include "core/lists/textpieces.h"

#include "core/common/error.h"
#include "core/common/text.h"
#include "core/common/textfile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace vespira::lists {

namespace {

// Where a full piece ends: after the last line end (CR LF, a lone CR or a lone LF), else
// at the last character boundary. A CR in the last unit may be the first half of a CR LF,
// so it is left to the next piece.
qsizetype cutPoint(const QByteArray &buf, PieceEncoding encoding)
{
    const qsizetype n = buf.size();
    if (encoding == PieceEncoding::Utf16LE) {
        // Pieces start at even offsets, so code units stand at even offsets of buf.
        const qsizetype units = n & ~qsizetype(1);
        for (qsizetype i = units - 2; i >= 0; i -= 2) {
            if (buf[i + 1] != 0)
                continue;
            if (buf[i] == '\n' || (buf[i] == '\r' && i + 2 < units))
                return i + 2;
        }
        qsizetype end = units;
        // Keep a surrogate pair together.
        if (end >= 2 && (static_cast<unsigned char>(buf[end - 1]) & 0xFC) == 0xD8)
            end -= 2;
        return end > 0 ? end : units;
    }
    for (qsizetype i = n - 1; i >= 0; --i) {
        if (buf[i] == '\n' || (buf[i] == '\r' && i + 1 < n))
            return i + 1;
    }
    if (encoding == PieceEncoding::Utf8) {
        // Step back over continuation bytes to the start of the last sequence; cut before it
        // unless it is complete.
        qsizetype lead = n - 1;
        while (lead > 0 && lead > n - 4 && (static_cast<unsigned char>(buf[lead]) & 0xC0) == 0x80)
            --lead;
        const unsigned char b = static_cast<unsigned char>(buf[lead]);
        const qsizetype length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
        if (lead + length > n && lead > 0)
            return lead;
    }
    return n;
}

void writePiece(const QString &path, QByteArrayView bytes)
{
    // Through the checked writer: a piece the disk took only in part would give a list that
    // silently lacks the rest of the text.
    writeFileAtomic(path, QByteArray::fromRawData(bytes.data(), bytes.size()));
}

} // namespace

QString pieceFileName(int number)
{
    return u"SplitDokument"_s + u"%1"_s.arg(number, 3, 10, QChar(u'0')) + u".txt"_s;
}

int cutIntoPieces(const QString &file, const QString &tempFolder, PieceEncoding encoding,
                  qint64 pieceSize, const Progress &progress)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(file)
                    + u"\" kann nicht gelesen werden: "_s + in.errorString());
    const qint64 size = in.size();
    if (encoding == PieceEncoding::Utf16LE)
        pieceSize = std::max<qint64>(4, pieceSize & ~qint64(1));
    else
        pieceSize = std::max<qint64>(4, pieceSize);

    const QString folder = QDir(tempFolder).absolutePath() + u'/';
    QByteArray buf;
    qint64 done = 0;
    int number = 0;
    for (;;) {
        const qint64 want = pieceSize - buf.size();
        if (want > 0) {
            const QByteArray more = in.read(want);
            if (in.error() != QFileDevice::NoError)
                throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(file)
                            + u"\" kann nicht gelesen werden: "_s + in.errorString());
            buf += more;
        }
        if (buf.isEmpty())
            break;
        const bool last = in.atEnd();
        const qsizetype cut = last ? buf.size() : cutPoint(buf, encoding);
        writePiece(folder + pieceFileName(++number), QByteArrayView(buf).first(cut));
        done += cut;
        buf.remove(0, cut);
        if (!progress.step(done, size))
            break;
        if (last && buf.isEmpty())
            break;
    }
    return number;
}

QStringList listPieces(const QString &tempFolder)
{
    const QDir dir(tempFolder);
    const QFileInfoList entries = dir.entryInfoList({u"*.txt"_s}, QDir::Files | QDir::Hidden, QDir::Name);
    QStringList out;
    for (const QFileInfo &entry : entries)
        out.append(entry.absoluteFilePath());
    return out;
}

QString readPiece(const QString &piece, PieceEncoding encoding)
{
    QFile in(piece);
    if (!in.open(QIODevice::ReadOnly))
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(piece)
                    + u"\" kann nicht gelesen werden: "_s + in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(piece)
                    + u"\" kann nicht gelesen werden: "_s + in.errorString());
    QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder.decode(view.sliced(2));
    }
    if (view.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder.decode(view.sliced(2));
    }
    if (view.startsWith("\xEF\xBB\xBF"))
        return text::fromUtf8Lenient(view.sliced(3));
    switch (encoding) {
    case PieceEncoding::Ansi:
        return text::fromAnsi(bytes);
    case PieceEncoding::Utf8:
        return text::fromUtf8Lenient(view);
    case PieceEncoding::Utf16LE: {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder.decode(view);
    }
    }
    return {};
}

} // namespace vespira::lists
