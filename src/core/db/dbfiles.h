#pragma once

// Names of the files that make up one database, and where they stand.
//
//   const QString list = db::filePath(programFolder, name, db::suffix::FileList);
//   const QString text = db::collectedTextPath(programFolder, name, db::TextKind::Utf8);
//
// Every lookup goes through app::resolveDatabaseFile, so "Archiv_UTF8DOKUMENT.txt" on disk is
// found for the database "Archiv", unless a database "ARCHIV" stands beside it. A file that
// does not exist yields the path it would have.

#include <QString>
#include <QStringList>

namespace vespira::db {

// The three kinds of collected text a database may hold.
enum class TextKind { Utf8, Mht, Ansi };

namespace suffix {
inline constexpr char16_t FileList[] = u".dat";
inline constexpr char16_t Log[] = u".log";
inline constexpr char16_t MhtFileList[] = u"_mht.dat";
inline constexpr char16_t MhtTempFileList[] = u"_mht_temp.dat";
inline constexpr char16_t AnsiText[] = u"_AnsiDokument.txt";
inline constexpr char16_t Utf8Text[] = u"_UTF8Dokument.txt";
inline constexpr char16_t MhtText[] = u"_MHTtext.txt";
inline constexpr char16_t AnsiTitles[] = u"_Ansi_TitelPositionen.txt";
inline constexpr char16_t Utf8Titles[] = u"_Utf8_TitelPositionen.txt";
inline constexpr char16_t MhtTitles[] = u"_MHT_TitelPositionen.txt";
inline constexpr char16_t AnsiSortedList[] = u"_Phrasen_Woerter_AnsiListe.txt";
inline constexpr char16_t MhtSortedList[] = u"_Phrasen_Woerter_MHTListe.txt";
inline constexpr char16_t Utf8SortedList[] = u"_Phrasen_Woerter_Utf8Liste.txt";
inline constexpr char16_t Utf8Trigrams[] = u"_UTF8Trigramme.idx";
inline constexpr char16_t MhtTrigrams[] = u"_MHTTrigramme.idx";
// The folders and kinds the database is made of, and the state of each of its documents
// when its text was taken: what an update needs.
inline constexpr char16_t Sources[] = u"_Quellen.txt";
inline constexpr char16_t DocumentStamps[] = u"_Dokumentstand.txt";
} // namespace suffix

// Suffix of the collected text file and of the title-position file of a kind.
QString collectedTextSuffix(TextKind kind);
QString titlePositionsSuffix(TextKind kind);

// programFolder + "Datenbank/" + the file name name + suffix as it stands on disk.
QString filePath(const QString &programFolder, const QString &name, const QString &fileSuffix);

QString fileListPath(const QString &programFolder, const QString &name);
QString collectedTextPath(const QString &programFolder, const QString &name, TextKind kind);
QString titlePositionsPath(const QString &programFolder, const QString &name, TextKind kind);

// All 21 files of a database, relative to the program folder, in the order in which a
// deletion removes them (".log" first, then ".dat", ...; the 4 search-text lists in
// "Datenbank/Suchwoerterlisten/" last). Names as given, not resolved on disk.
QStringList allRelativeFiles(const QString &name);

} // namespace vespira::db
