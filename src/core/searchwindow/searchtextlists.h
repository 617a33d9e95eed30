#pragma once

#include "core/app/searchrunstate.h"
#include "core/app/viewstate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vespira::searchwindow {

// The drop-down entry a search without text once left behind; never kept in a list.
inline constexpr char16_t SearchTextPlaceholder[] = u"Sie_haben_keinen_Suchtext_eingegeben!";
// A list never holds more texts than this.
inline constexpr int MaxSearchTexts = 50;

// Decodes a whole text file by its byte-order mark: FF FE UTF-16LE, FE FF UTF-16BE,
// EF BB BF UTF-8; windows-1252 when there is none. The mark is not part of the text.
QString decodeByByteOrderMark(const QByteArray &bytes);

// The search-text list file of a database: program folder + "Datenbank/Suchwoerterlisten/"
// + database + "_Ansi_", "_Utf8_", "_MHT_" or (DocumentKind::None) "_Gesamt_OhneDB_"
// + "Suchwoerterliste.txt". An existing file whose name differs only in case is found, unless
// it belongs to another database spelled otherwise (app::resolveDatabaseFile).
QString searchTextListPath(const QString &programFolder, const QString &database,
                           app::DocumentKind kind);

// The texts of a list file, one per line (CR LF, LF or CR ends a line), empty lines left
// out. A missing file gives an empty list; an unreadable one throws vespira::Error.
QStringList readSearchTextList(const QString &path);

// Replaces the whole file, atomically: UTF-16LE with FF FE, every line ended by CR LF.
// Throws vespira::Error when the file cannot be written.
void writeSearchTextList(const QString &path, const QStringList &texts);

// Puts a text just searched for at the top of the list: earlier copies (same case) go,
// the placeholder goes, and the list is cut to MaxSearchTexts.
void rememberSearchText(QStringList &texts, const QString &text);

// The list files a search's drop-down is saved to: with a document kind shown, the UTF-8
// and MHT lists whose kind-hit flag the run cleared (the ANSI list is never written);
// with none shown, the general list when the run found a hit. Empty when texts is empty.
QStringList searchTextListsToSave(const QStringList &texts, const QString &programFolder,
                                  const QString &database, app::DocumentKind activeKind,
                                  const app::SearchRunState &run);

// The whole update after a search: rememberSearchText, then every file of
// searchTextListsToSave written. Returns the files written. Throws vespira::Error when a
// file cannot be written; the drop-down's texts are updated all the same.
QStringList updateSearchTextListsAfterSearch(QStringList &texts, const QString &text,
                                             const QString &programFolder,
                                             const QString &database,
                                             app::DocumentKind activeKind,
                                             const app::SearchRunState &run);

} // namespace vespira::searchwindow
