#include "core/lists/sortrun.h"

#include "core/common/paths.h"
#include "core/common/textfile.h"
#include "core/db/dbfiles.h"
#include "core/lists/listbuilder.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace vespira::lists {

namespace {

// A build holds every distinct word of a collected file at once; once it is over, the
// allocator would keep those pages for good, and the program's footprint would stay at the
// build's peak for the rest of the session.
void releaseFreedHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

constexpr qint64 MinCollectedSize = 5;

struct CollectedFile
{
    db::TextKind kind;
    PieceEncoding encoding;
    ListMode mode;
};

constexpr CollectedFile Collected[] = {
    {db::TextKind::Utf8, PieceEncoding::Utf8, ListMode::Utf8},
    {db::TextKind::Mht, PieceEncoding::Utf16LE, ListMode::Mht},
};

// Clears the sorting flag on every way out of a build, an exception included.
class SortingScope
{
public:
    explicit SortingScope(app::SortState &state)
        : m_state {state}
    {
        m_state.sorting = true;
    }
    ~SortingScope() { m_state.sorting = false; }
    SortingScope(const SortingScope &) = delete;
    SortingScope &operator=(const SortingScope &) = delete;

private:
    app::SortState &m_state;
};

} // namespace

QString noDocumentsMessage(const QString &name)
{
    return u"Für die Datenbank \""_s + name + u"\" existieren keine Dokumente, die sortiert werden könnten!"_s;
}

SortRunOutcome SortierteListenErstellen(const SortRunRequest &request, app::SortState &state,
                                        QString &replacementDrive, const SortRunCallbacks &callbacks)
{
    const QString tempFolder = request.programFolder + QString::fromUtf16(paths::Temp);
    QDir().mkpath(tempFolder);
    emptyFolder(tempFolder);

    const QString &name = request.databaseName;
    const bool anyFile = std::any_of(std::begin(Collected), std::end(Collected), [&](const CollectedFile &c) {
        return QFileInfo::exists(db::collectedTextPath(request.programFolder, name, c.kind));
    });
    if (!anyFile)
        return SortRunOutcome::NoCollectedFile;
    if (state.sortCancel.isRequested())
        return SortRunOutcome::Cancelled;

    const Progress progress(callbacks.progress, &state.sortCancel);
    if (callbacks.caption)
        callbacks.caption(u"Sortierung von: \""_s + name + u"\" läuft."_s);

    for (const CollectedFile &c : Collected) {
        if (state.sortCancel.isRequested())
            break;
        const QString file = db::collectedTextPath(request.programFolder, name, c.kind);
        const QFileInfo info(file);
        if (!info.isFile() || info.size() < MinCollectedSize)
            continue;
        if (callbacks.status)
            callbacks.status(u"Sortierte Liste von: "_s + name + db::collectedTextSuffix(c.kind));

        const qint64 size = info.size();
        cutIntoPieces(file, tempFolder, c.encoding, request.pieceSize,
                      Progress([&](qint64 done, qint64) { progress.step(size > 0 ? done * 1000 / size : 1000, 1000); },
                               &state.sortCancel));

        ListBuildOutcome outcome = ListBuildOutcome::Cancelled;
        if (!state.sortCancel.isRequested()) {
            if (callbacks.buildStarting)
                callbacks.buildStarting();
            SortingScope sorting(state);
            ListBuildRequest build {request.programFolder, name, file, c.mode, request.splitMode, request.mapper,
                                    request.progressIntervalMs};
            ListBuildCallbacks buildCallbacks {progress, callbacks.caption};
            outcome = ErstelleNachtraeglichSortierteListen(build, replacementDrive, buildCallbacks);
            releaseFreedHeap();
        }
        if (callbacks.fileFinished)
            callbacks.fileFinished(listFilePath(request.programFolder, name, c.mode),
                                   outcome == ListBuildOutcome::Written);
    }
    return state.sortCancel.isRequested() ? SortRunOutcome::Cancelled : SortRunOutcome::Finished;
}

} // namespace vespira::lists
