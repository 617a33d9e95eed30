#pragma once

// Reading the database file list "Datenbank/<name>.dat".
//
//   const QString list = db::fileListPath(programFolder, name);
//   const QChar drive = db::readDriveLetter(list);       // 'Z', or a null QChar
//   const QString marker = db::documentMarker(drive);    // "#Z:\"
//   const QString first = db::readFirstDocumentPath(list);
//
// Line 1 is the header "PFAD_UND_ENDUNGEN=" + text starting with the drive letter of the
// documents; every further line is one document path. UTF-8, CR LF, no byte-order mark.
// Only as much of the file is read as the answer needs.

#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>

namespace vespira::db {

inline constexpr char HeaderKey[] = "PFAD_UND_ENDUNGEN=";

// The header text from the bytes of the first line: cut at the first CR LF, the key
// removed where it stands, decoded from UTF-8, blanks and control characters stripped.
QString parseHeaderLine(QByteArrayView firstLine);

// The header text of a file list. Throws Error (German message naming the file) when the
// file does not exist or cannot be read.
QString readHeader(const QString &fileListPath);

// The first character of the header text; a null QChar for an empty header.
QChar readDriveLetter(const QString &fileListPath);

// "#" + drive + ":\"; for a null drive "#:\", which starts no block.
QString documentMarker(QChar drive);

// Line 2, decoded and trimmed; empty when the file has no second line. Throws like readHeader.
QString readFirstDocumentPath(const QString &fileListPath);

// Lines 2 to the end, decoded and trimmed, empty lines left out. Throws like readHeader.
QStringList readDocumentPaths(const QString &fileListPath);

} // namespace vespira::db
