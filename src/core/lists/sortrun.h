#pragma once

// The whole sorted-list build of a database, as the sort panel's build button and
// `vespira lists` run it: empty "Datenbank/Temp", then for the UTF-8 and then the MHT
// collected text file (each when it has at least 5 bytes) cut it into pieces and build its
// list file.
//
//   SortRunRequest request {programFolder, name, SplitMode::Words, mapper};
//   switch (SortierteListenErstellen(request, state.sort, replacementDrive, callbacks)) ...
//
// state.sortCancel is checked between steps and inside them, after every progress report
// (the cancel buttons request it); state.sorting is set while a list is built and cleared
// on every way out.

#include "core/app/sortstate.h"
#include "core/common/docpath.h"
#include "core/common/pacer.h"
#include "core/common/progress.h"
#include "core/lists/linesplitter.h"
#include "core/lists/listfiles.h"
#include "core/lists/textpieces.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vespira::lists {

struct SortRunRequest
{
    QString programFolder;        // ends with "/"
    QString databaseName;
    SplitMode splitMode = SplitMode::Words;
    DocPathMapper mapper;
    qint64 pieceSize = PieceSize;
    int progressIntervalMs = ProgressPacer::DefaultIntervalMs; // see ListBuildRequest
};

struct SortRunCallbacks
{
    // Progress bar (position, maximum). While a file is cut the maximum is 1000 and the
    // position the part done in thousandths.
    Progress::Report progress;
    std::function<void(const QString &)> caption;   // the window caption
    std::function<void(const QString &)> status;    // the status line (Label4)
    std::function<void()> buildStarting;            // before each list: lock the controls
    // After each collected file: its list file, and whether it was written anew.
    std::function<void(const QString &listFile, bool written)> fileFinished;
};

enum class SortRunOutcome {
    NoCollectedFile,   // neither collected text file exists: show noDocumentsMessage
    Finished,
    Cancelled,         // no list file written for the file under way; later files not started
};

SortRunOutcome SortierteListenErstellen(const SortRunRequest &request, app::SortState &state,
                                        QString &replacementDrive, const SortRunCallbacks &callbacks);

// "Für die Datenbank "name" existieren keine Dokumente, die sortiert werden könnten!"
QString noDocumentsMessage(const QString &name);

} // namespace vespira::lists
