#pragma once

#include <QString>

namespace vespira::app {

// Where a file of one database stands on disk. Names are matched without regard to case,
// as on the file systems the databases come from; but Linux lets "Archiv" and "ARCHIV" be
// two databases side by side, and then each keeps to the files spelled with its own name,
// so deleting, loading or saving one never reaches the other's files.
//
// Returns folder + name + fileSuffix when that exists. Otherwise an entry of folder equal to
// it without regard to case: one whose first name.size() characters spell name exactly, or
// else any, as long as no database of the catalog under programFolder spells the name
// otherwise. Otherwise folder + name + fileSuffix unchanged: the path the file would have.
QString resolveDatabaseFile(const QString &programFolder, const QString &folder, const QString &name,
                            const QString &fileSuffix);

} // namespace vespira::app
