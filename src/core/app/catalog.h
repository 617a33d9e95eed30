#pragma once

#include <QString>
#include <QStringList>

namespace vespira::app {

// LiesNamenDatenbanken: the names of the databases in Datenbank under the program
// folder, one per "*.dat" entry (extension matched without regard to case). Entries whose
// name contains "_mht.dat" or "_temp.dat" (any case) are the producer's side files and
// are skipped; the first ".dat" is cut out of the others. Sorted by name, ignoring case.
QStringList LiesNamenDatenbanken(const QString &programFolder);

// The database name of one directory entry, or the empty text when it is no database
// (a side file, or a bare ".dat" that would give an empty name).
QString databaseNameOf(const QString &entryName);

// The entry to select at first show from the stored Ausgewaehlte_Datenbank text:
// a missing or unparsable text counts as 0; -1, values below -1 and values at or
// beyond the entry count select the first entry. -1 when the list is empty.
int restoreSelectionIndex(const QString &stored, int entryCount);

// Every file that belongs to the database, in the order they are deleted: the files in
// Datenbank, then its search-text lists in Datenbank/Suchwoerterlisten.
QStringList databaseFiles(const QString &programFolder, const QString &name);

// Deletes the database's files, each only when it exists (found as resolveDatabaseFile
// finds it, so another database spelled otherwise keeps its files); failures are ignored.
// Returns the paths actually deleted.
QStringList deleteDatabaseFiles(const QString &programFolder, const QString &name);

} // namespace vespira::app
