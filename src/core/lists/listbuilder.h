#pragma once

// ErstelleNachtraeglichSortierteListen: the sorted word or phrase list of one collected
// text file, built from its text pieces in "Datenbank/Temp" and written beside the
// database. The caller cuts the pieces first (textpieces.h).
//
//   ListBuildRequest request {programFolder, name, collectedFile, ListMode::Utf8, SplitMode::Words, mapper};
//   ListBuildCallbacks callbacks;
//   callbacks.progress = Progress([&](qint64 position, qint64 maximum) { ... }, &state.sortCancel);
//   if (ErstelleNachtraeglichSortierteListen(request, replacementDrive, callbacks)
//           == ListBuildOutcome::Written) ...
//
// The text is read as decoded characters in every mode, so the UTF-8 mode groups, measures
// and compares "Ärger" as the ANSI mode does.

#include "core/common/docpath.h"
#include "core/common/pacer.h"
#include "core/common/progress.h"
#include "core/lists/linesplitter.h"
#include "core/lists/listfiles.h"
#include "core/lists/textpieces.h"

#include <QString>

#include <functional>

namespace vespira::lists {

struct ListBuildRequest
{
    QString programFolder;        // ends with "/"
    QString databaseName;         // the search-time database
    QString collectedFile;        // full path
    ListMode mode = ListMode::Utf8; // the kind of collectedFile: list file, encoding, caption
    SplitMode splitMode = SplitMode::Words;
    DocPathMapper mapper;
    // The stretch of work between two progress calls; 0 reports at every reading of the
    // clock, which tests use to see the calls inside a line.
    int progressIntervalMs = ProgressPacer::DefaultIntervalMs;
};

struct ListBuildCallbacks
{
    // The progress bar: (position, maximum), the maximum being the number of document
    // marker lines. Called between pieces, at every document, and at least every
    // progressIntervalMs of work in between, inside a long line and while the lists are
    // sorted too. A stop it asks for cancels: no list file is written.
    Progress progress;
    // The window caption while documents go by: "UTF8 12 von 1.234 C:\Texte\a.htm".
    std::function<void(const QString &)> caption;
};

enum class ListBuildOutcome { Written, Cancelled };

// Builds the list file of request.collectedFile from the pieces in "Datenbank/Temp",
// deleting each piece when it is done. replacementDrive is set when the first document of
// the file list does not exist (documentDriveLetter). Throws Error when a piece cannot be
// read or the list file cannot be written; the list file is written atomically, so a
// failure or a cancel leaves an earlier one as it was.
ListBuildOutcome ErstelleNachtraeglichSortierteListen(const ListBuildRequest &request,
                                                      QString &replacementDrive,
                                                      const ListBuildCallbacks &callbacks);

// A trimmed line that begins with "#" and has ":\" after its drive letter.
bool isDocumentMarkerLine(QStringView trimmedLine);

// The drive letter of the database's documents: the first character of the first document
// path of the file list when that document exists. Otherwise the drive-letter probe: the
// last of the letters A, B, D to Z under which the file list itself is found through the
// mapper, or "" for none; replacementDrive then takes that result too.
QString documentDriveLetter(const QString &programFolder, const QString &name,
                            const DocPathMapper &mapper, QString &replacementDrive);

} // namespace vespira::lists
