#include "core/lists/textpieces.h"

#include "support/tempdir.h"
#include "support/textdata.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::Literals::StringLiterals;
using namespace vespira::lists;
using vespira::test::utf16le;

namespace {

// Cuts the bytes into pieces of at most pieceSize bytes and reads them back, one entry a piece.
QStringList cutAndRead(const QByteArray &bytes, PieceEncoding encoding, qint64 pieceSize)
{
    vespira::test::TempProgramFolder folder;
    folder.write(u"Datenbank/a.txt"_s, bytes);
    const QString temp = folder.file(u"Datenbank/Temp"_s);
    const int n = cutIntoPieces(folder.file(u"Datenbank/a.txt"_s), temp, encoding, pieceSize);
    QStringList parts;
    for (const QString &piece : listPieces(temp))
        parts << readPiece(piece, encoding);
    EXPECT_EQ(parts.size(), n);
    return parts;
}

TEST(TextPieces, PiecesEndAfterALoneLfOrALoneCrToo)
{
    for (const QString &end : {u"\n"_s, u"\r"_s}) {
        const QString text = u"eins zwei"_s + end + u"ABCDEFGHIJ"_s + end + u"drei"_s;
        // The limit falls between "ABCDE" and "FGHIJ".
        for (const auto &[bytes, encoding, size] : {std::tuple {text.toUtf8(), PieceEncoding::Utf8, 15},
                                                    std::tuple {utf16le(text), PieceEncoding::Utf16LE, 32}}) {
            QStringList lines;
            for (const QString &part : cutAndRead(bytes, encoding, size))
                forEachLine(part, [&](QStringView line) {
                    lines << line.toString();
                    return true;
                });
            EXPECT_EQ(lines, (QStringList {u"eins zwei"_s, u"ABCDEFGHIJ"_s, u"drei"_s}))
                << (end == u"\n"_s ? "LF " : "CR ") << (encoding == PieceEncoding::Utf8 ? "UTF-8" : "UTF-16");
        }
    }
}

TEST(TextPieces, WithoutLineBreaksPiecesEndAtCharacterBoundaries)
{
    const QString original = u"äöü€𝄞xÄÖÜß"_s.repeated(7);
    const QStringList parts = cutAndRead(original.toUtf8(), PieceEncoding::Utf8, 5);
    for (const QString &part : parts)
        EXPECT_FALSE(part.contains(QChar::ReplacementCharacter)) << part.toStdString();
    EXPECT_EQ(parts.join(QString()), original);

    QString lines;
    for (int i = 0; i < 40; ++i)
        lines += u"Zeile 𝄞 Größe "_s + QString::number(i) + (i % 3 ? u"\r\n"_s : u""_s);
    for (qint64 size : {7, 50, 1000}) // later UTF-16 pieces have no mark and are read as UTF-16 all the same
        EXPECT_EQ(cutAndRead(utf16le(lines), PieceEncoding::Utf16LE, size).join(QString()), lines) << size;
}

TEST(TextPieces, LinesEndAtCrLfLoneCrOrLoneLf)
{
    QStringList lines;
    forEachLine(u"a\r\nb\rc\nd\r\n\r\ne", [&](QStringView l) {
        lines << l.toString();
        return true;
    });
    EXPECT_EQ(lines, (QStringList {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u""_s, u"e"_s}));
    lines.clear();
    forEachLine(u"", [&](QStringView l) {
        lines << l.toString();
        return true;
    });
    EXPECT_TRUE(lines.isEmpty());
}

TEST(TextPieces, ByteOrderMarkDecides)
{
    vespira::test::TempProgramFolder folder;
    folder.write(u"Datenbank/Temp/u8.txt"_s, "\xEF\xBB\xBF\xC3\x84rger");
    folder.write(u"Datenbank/Temp/ansi.txt"_s, "\xC4rger");
    folder.write(u"Datenbank/Temp/be.txt"_s, QByteArray("\xFE\xFF\x00\xC4\x00r", 6));
    EXPECT_EQ(readPiece(folder.file(u"Datenbank/Temp/u8.txt"_s), PieceEncoding::Ansi), u"Ärger"_s);
    EXPECT_EQ(readPiece(folder.file(u"Datenbank/Temp/ansi.txt"_s), PieceEncoding::Ansi), u"Ärger"_s);
    EXPECT_EQ(readPiece(folder.file(u"Datenbank/Temp/be.txt"_s), PieceEncoding::Utf8), u"Är"_s);
}

} // namespace
