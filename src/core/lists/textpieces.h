#pragma once

// Text pieces: a collected text file cut into files of at most pieceSize bytes in
// "Datenbank/Temp", so a build holds one piece in memory at a time.
//
//   const int n = cutIntoPieces(file, tempFolder, PieceEncoding::Utf8);   // SplitDokument001.txt ...
//   for (const QString &piece : listPieces(tempFolder))
//       forEachLine(readPiece(piece, PieceEncoding::Utf8), [](QStringView line) { ... });
//
// A piece ends after the last line end within its limit (CR LF, a lone CR or a lone LF), so
// no line and no character is cut in two; a piece without any line end ends at the last
// character boundary within the limit.

#include "core/common/progress.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace vespira::lists {

inline constexpr qint64 PieceSize = 20'000'000;

// The encoding of a collected text file and so of its pieces. Only the first piece of a
// file carries its byte-order mark; the others are read in the file's encoding.
enum class PieceEncoding { Ansi, Utf8, Utf16LE };

// "SplitDokument" + number with at least three digits + ".txt".
QString pieceFileName(int number);

// Cuts file into pieces in tempFolder (which must exist) and returns their number; an empty
// file gives none. progress is told (bytes done, file size) after each piece; a stop it
// asks for ends the cutting (the pieces written so far stay). Throws Error when the file
// cannot be read or a piece written.
int cutIntoPieces(const QString &file, const QString &tempFolder, PieceEncoding encoding,
                  qint64 pieceSize = PieceSize, const Progress &progress = {});

// The files "*.txt" of tempFolder, by name.
QStringList listPieces(const QString &tempFolder);

// A piece's text: a leading byte-order mark (UTF-16 LE, UTF-16 BE, UTF-8) decides, else
// the encoding of its file. Throws Error when the piece cannot be read.
QString readPiece(const QString &piece, PieceEncoding encoding);

// Calls f for every line of text; lines end at CR LF, a lone CR or a lone LF. A last line
// without an end counts; an empty text has no lines. f returns false to stop; so does
// forEachLine then.
template <typename F>
bool forEachLine(QStringView text, F &&f)
{
    const QChar *d = text.data();
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = d[i].unicode();
        if (c == u'\r' || c == u'\n') {
            if (!f(text.sliced(start, i - start)))
                return false;
            i += (c == u'\r' && i + 1 < n && d[i + 1].unicode() == u'\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        return f(text.sliced(start));
    return true;
}

} // namespace vespira::lists
