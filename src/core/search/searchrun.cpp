#include "core/search/searchrun.h"

#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/common/textfile.h"
#include "core/db/dbfiles.h"
#include "core/db/filelist.h"
#include "core/index/indexfiles.h"
#include "core/output/browserlaunch.h"
#include "core/output/resultpage.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace vespira::search {

namespace {
constexpr int PageSize = 25;

// A missing collected file is normal (a database of one kind only); anything else in its
// place, such as a folder, would otherwise end in a silent "nothing found".
bool searchable(const QString &path, platform::Dialogs &dialogs)
{
    if (paths::isRegularFile(path))
        return true;
    if (QFileInfo::exists(path))
        dialogs.error(u"\""_s + QDir::toNativeSeparators(path)
                      + u"\" ist keine lesbare Datei und wird nicht durchsucht."_s);
    return false;
}
} // namespace

SearchRun::SearchRun(app::Context &ctx, SearchRunUi &ui)
    : m_ctx {ctx}
    , m_ui {ui}
{
}

CandidateSource SearchRun::candidateSource(const SearchRequest &request, db::TextKind kind)
{
    if (!request.useIndex)
        return {};
    CandidateSource source(index::openIndex(m_ctx.state.programFolder, request.databaseName, kind),
                           m_jumpCost >= 0 ? m_jumpCost : m_blockSize, [this] { sayIndexUnusable(); });
    if (source.status() == index::IndexStatus::OutOfDate || source.status() == index::IndexStatus::Damaged)
        sayIndexUnusable();
    return source;
}

void SearchRun::sayIndexUnusable()
{
    if (m_indexNoticeGiven)
        return;
    m_indexNoticeGiven = true;
    m_ui.notice(QString::fromUtf16(index::OutdatedMessage));
}

Progress SearchRun::progressOf()
{
    return Progress([this](qint64 done, qint64 total) { m_ui.progress(done, total); }, &m_ctx.state.run.cancel);
}

SearchOutcome SearchRun::run(const SearchRequest &request)
{
    app::AppState &state = m_ctx.state;
    app::SearchRunState &run = state.run;
    SearchOutcome outcome;
    outcome.searchText = request.searchText;

    m_ui.rememberView();
    m_hits.hits.clear();
    m_indexNoticeGiven = false;
    m_ui.setRunControlsEnabled(false);
    m_ui.setCancelHint(u"Suche abbrechen"_s);

    const QString stripped = text::trimControl(request.searchText);
    if (stripped.size() == 1) {
        m_ctx.services.dialogs.information(
            u"Nur ein Zeichen als Suchtext ist bei der \"Suche\" nicht erlaubt"_s);
        // The window is left as it was before the click.
        m_ui.setCancelHint(u"Schließt das Fenster"_s);
        m_ui.setRunControlsEnabled(true);
        outcome.status = SearchOutcome::Status::Refused;
        return outcome;
    }
    // From here on a cancel is honoured: the pause below already lets a click through.
    run.cancellable = true;

    try {
        const QString programFolder = state.programFolder;
        const QString tempFolder = programFolder + QString::fromUtf16(paths::Temp);
        m_pageFiles = std::make_unique<output::ResultPageFiles>(tempFolder);
        m_pageFiles->emptyFolder();

        const QChar drive = db::readDriveLetter(db::fileListPath(programFolder, request.databaseName));
        run.documentMarker = db::documentMarker(drive);
        run.replacementDrive = drive.isNull() ? QString {} : QString(drive);

        m_ui.setStatus(u"Suche läuft..."_s);
        m_ui.setBusy(true);
        m_ui.pause(200);
        run.noResult = true;

        m_ui.setCaption(u"Suche läuft..."_s);
        state.view.mirrorSuspended = true;
        run.morePages = false;
        run.resultPageNumber = 1;

        // Each drive setting is read once per run, not once per hit.
        QHash<QString, QString> driveSettings;
        const DocPathMapper mapper([this, &driveSettings](const QString &name) {
            auto it = driveSettings.constFind(name);
            if (it == driveSettings.cend())
                it = driveSettings.insert(name, m_ctx.settings.read(name));
            return *it;
        });
        MatchEnvironment env {m_ctx.services.dialogs, mapper};
        env.programFolder = programFolder;
        env.documentMarker = run.documentMarker;
        env.replacementDrive = run.replacementDrive;
        env.activeKind = state.view.activeKind;
        env.progress = progressOf();
        env.blockSize = m_blockSize;
        env.mapWindow = m_mapWindow;
        MatchOptions options;
        options.searchText = request.searchText;
        options.caseSensitive = request.caseSensitive;
        options.wholeWords = request.wholeWords;

        const QString utf8File = db::collectedTextPath(programFolder, request.databaseName, db::TextKind::Utf8);
        if (!run.cancel.isRequested() && searchable(utf8File, m_ctx.services.dialogs)) {
            run.utf8ListFlag = true;
            m_ui.prepareViewer(CollectedKind::Utf8);
            state.view.mirrorSuspended = true;
            CandidateSource candidates = candidateSource(request, db::TextKind::Utf8);
            CollectedFileSearch loop(options, env, run);
            loop.setCandidateSource(&candidates);
            loop.run(utf8File, db::titlePositionsPath(programFolder, request.databaseName, db::TextKind::Utf8),
                     CollectedKind::Utf8, m_hits);
        }
        const QString mhtFile = db::collectedTextPath(programFolder, request.databaseName, db::TextKind::Mht);
        if (!run.cancel.isRequested() && searchable(mhtFile, m_ctx.services.dialogs)) {
            run.mhtListFlag = true;
            m_ui.prepareViewer(CollectedKind::Utf16);
            state.view.mirrorSuspended = true;
            run.utf16 = true;
            CandidateSource candidates = candidateSource(request, db::TextKind::Mht);
            CollectedFileSearch loop(options, env, run);
            loop.setCandidateSource(&candidates);
            loop.run(mhtFile, db::titlePositionsPath(programFolder, request.databaseName, db::TextKind::Mht),
                     CollectedKind::Utf16, m_hits);
            run.utf16 = false;
        }

        // A cancelled run shows no result, not even the "not found" page.
        if (!run.cancel.isRequested())
            writePages(request, outcome);
    } catch (...) {
        finish(request, outcome, false);
        throw;
    }
    finish(request, outcome, true);
    return outcome;
}

void SearchRun::writePages(const SearchRequest &request, SearchOutcome &outcome)
{
    app::SearchRunState &run = m_ctx.state.run;
    output::ResultPageSettings settings;
    settings.programFolder = m_ctx.state.programFolder;
    settings.databaseName = request.databaseName;
    settings.caseSensitive = request.caseSensitive;
    settings.wholeWords = request.wholeWords;
    output::ResultPageHooks hooks;
    hooks.progress = progressOf();
    hooks.files = m_pageFiles.get();
    hooks.endBusyIndication = [this] { m_ui.endBusyIndication(); };
    hooks.openInBrowser = [this](const QString &path) {
        if (m_openBrowser)
            output::StarteInternetBrowser(path, m_ctx.settings, m_ctx.services.shell,
                                          m_ctx.services.dialogs, &m_ctx.state.browser);
    };
    output::ResultPageWriter writer(settings, hooks);
    const bool pathOpened = m_ctx.state.view.pathOpened;
    const QList<Hit> &hits = m_hits.hits;
    auto write = [&](const QList<Hit> &page, qint64 count) {
        if (writer.SchreibHTMLDocNeu(request.searchText, count, page, run, pathOpened))
            ++outcome.pagesWritten;
    };

    const qsizetype n = hits.size();
    const qsizetype full = n / PageSize;
    const qsizetype rest = n % PageSize;
    for (qsizetype k = 0; k < full; ++k) {
        run.morePages = true;
        write(hits.mid(k * PageSize, PageSize), qint64(run.resultPageNumber) * PageSize);
        run.resultPageNumber = run.resultPageNumber == 0 ? 2 : run.resultPageNumber + 1;
    }
    if (rest > 0) {
        run.morePages = false;
        write(hits.mid(full * PageSize), qint64(run.resultPageNumber) * PageSize - (PageSize - rest));
    }

    if (!hits.isEmpty())
        run.noResult = false;
    else
        write({}, 0); // the "not found" page
}

void SearchRun::finish(const SearchRequest &request, SearchOutcome &outcome, bool normalEnd)
{
    app::AppState &state = m_ctx.state;
    app::SearchRunState &run = state.run;
    outcome.hitCount = m_hits.hits.size();
    if (run.cancel.isRequested())
        outcome.status = SearchOutcome::Status::Cancelled;

    state.view.mirrorSuspended = false;
    state.catalog.runInProgress = false;
    run.utf16 = false;
    if (normalEnd) {
        const qsizetype replacement = outcome.searchText.indexOf(QChar(0xFFFD));
        if (replacement >= 0 && replacement == outcome.searchText.size() - 1)
            outcome.searchText.chop(1);

        if (request.copyToClipboard) {
            QString clip = text::trimControl(request.searchText);
            if (!request.phrase) {
                const qsizetype blank = clip.indexOf(u' ');
                if (blank >= 0)
                    clip.truncate(blank);
                if (state.view.pathOpened && clip.startsWith(u'#'))
                    clip.remove(0, 1);
            }
            m_ctx.services.clipboard.setText(clip);
        }
    }

    if (m_pageFiles) {
        m_pageFiles->dropSpares();
        m_pageFiles.reset();
    }
    m_ui.setBusy(false);
    m_ui.setCaption(QString {});
    state.sort.sortCancel.clear();
    run.cancellable = false;
    run.cancel.clear();
    m_ui.enableCancelButton();
    m_ui.setCancelHint(u"Schließt das Fenster"_s);
    m_ui.setRunControlsEnabled(true);
    state.view.mirrorSuspended = false;
    if (normalEnd)
        m_ui.reShowView();
    m_ui.setStatus(QString {});
}

} // namespace vespira::search
