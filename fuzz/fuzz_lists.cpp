// The list builder's text path on arbitrary bytes: cutting a collected file into pieces
// (which must give back every byte, in order, each piece within its limit), reading the
// pieces, splitting lines and splitting words and phrases into the sorted lists.
// Input: mode and encoding, piece size, then the file.

#include "core/common/text.h"
#include "core/lists/linesplitter.h"
#include "core/lists/textpieces.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace Qt::Literals::StringLiterals;
using namespace vespira;
using namespace vespira::lists;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    static QTemporaryDir folder;
    static const QString file = folder.filePath(u"text.txt"_s);
    static const QString pieces = folder.filePath(u"Temp"_s);
    static const PieceEncoding encodings[] = {PieceEncoding::Ansi, PieceEncoding::Utf8, PieceEncoding::Utf16LE};
    static const SplitMode modes[] = {SplitMode::Words, SplitMode::Phrases, SplitMode::WordsAndPhrases};
    const PieceEncoding encoding = encodings[data[0] % 3];
    const SplitMode mode = modes[(data[0] / 3) % 3];
    const qint64 pieceSize = 4 + data[1] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    QDir(pieces).removeRecursively();
    QDir().mkpath(pieces);
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
            std::abort();
    }
    const int count = cutIntoPieces(file, pieces, encoding, pieceSize);
    const QStringList names = listPieces(pieces);
    if (names.size() != count)
        std::abort();
    QByteArray joined;
    SortedLists lists;
    LineSplitter split(mode, u"#Z:\\"_s, lists);
    for (const QString &piece : names) {
        const QByteArray part = readAll(piece);
        if (part.isEmpty())
            std::abort();
        joined += part;
        forEachLine(readPiece(piece, encoding), [&](QStringView line) {
            if (line.contains(u'\r') || line.contains(u'\n'))
                std::abort();
            split(trimView(line));
            return true;
        });
    }
    if (joined != bytes)
        std::abort(); // a byte lost or added while cutting
    const QString text = lists.text();
    (void)text;
    return 0;
}
