#pragma once

#include <QString>
#include <QStringList>

namespace vespira::app {

// Where a file of one database stands on disk. Names are matched without regard to case,
// as on the file systems the databases come from; but Linux lets "Archiv" and "ARCHIV" be
// two databases side by side, and then each keeps to the files spelled with its own name,
// so deleting, loading or saving one never reaches the other's files.
//
// Returns folder + name + fileSuffix when that exists. Otherwise an entry of folder equal to
// it without regard to case: one whose first name.size() characters spell name exactly, or
// else any, unless the name is spelled otherwise by another database of the catalog
// (spelledForAnother). Otherwise folder + name + fileSuffix unchanged: the path the file
// would have. The catalog is that of programFolder, read only when it decides.
QString resolveDatabaseFile(const QString &programFolder, const QString &folder, const QString &name,
                            const QString &fileSuffix);

// The same against a catalog read beforehand, for work that removes a database's files
// (its ".dat" among them) while it still resolves the rest.
QString resolveDatabaseFileIn(const QStringList &catalog, const QString &folder, const QString &name,
                              const QString &fileSuffix);

// Whether a file spelled otherwise than name may belong to another database: the catalog
// lists name itself and also another spelling of it, or, not listing name, several other
// spellings. A name in another case than the one database that matches means that one.
bool spelledForAnother(const QStringList &catalog, const QString &name);

} // namespace vespira::app
