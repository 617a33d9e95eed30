#include "core/search/searchrun.h"

#include "core/app/catalog.h"
#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/common/textfile.h"
#include "core/db/dbfiles.h"
#include "core/db/filelist.h"
#include "core/index/indexfiles.h"
#include "core/output/browserlaunch.h"
#include "core/output/resultpage.h"
#include "core/search/optionsearch.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

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

// A database of a search over all of them: its file list can be read, but its text files
// fail. Their messages go to the run's list of problems instead of one box each.
class CollectingDialogs final : public platform::Dialogs
{
public:
    void information(const QString &text) override { messages << text; }
    void warning(const QString &text) override { messages << text; }
    void error(const QString &text) override { messages << text; }
    bool confirm(const QString &text) override
    {
        messages << text;
        return false;
    }
    QStringList messages;
};

// Gives each hit the name of its database.
class DatabaseSink final : public HitSink
{
public:
    DatabaseSink(HitSink &sink, QString database)
        : m_sink {sink}
        , m_database {std::move(database)}
    {
    }
    void matched(Hit hit) override
    {
        hit.database = m_database;
        m_sink.matched(std::move(hit));
    }

private:
    HitSink &m_sink;
    QString m_database;
};

QString problemLine(const QString &database, const QString &reason)
{
    return u"Datenbank \""_s + database + u"\": "_s + reason;
}
} // namespace

SearchRun::SearchRun(app::Context &ctx, SearchRunUi &ui)
    : m_ctx {ctx}
    , m_ui {ui}
{
}

CandidateSource SearchRun::candidateSource(const QString &name, bool useIndex, db::TextKind kind)
{
    if (!useIndex)
        return {};
    CandidateSource source(index::openIndex(m_ctx.state.programFolder, name, kind),
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

MatchEnvironment SearchRun::environment(platform::Dialogs &dialogs, const DocPathMapper &mapper)
{
    MatchEnvironment env {dialogs, mapper};
    env.programFolder = m_ctx.state.programFolder;
    env.progress = progressOf();
    env.blockSize = m_blockSize;
    env.mapWindow = m_mapWindow;
    return env;
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
    m_databases.clear();
    m_indexNoticeGiven = false;
    m_ui.setRunControlsEnabled(false);
    m_ui.setCancelHint(u"Suche abbrechen"_s);

    MatchOptions options;
    options.searchText = request.searchText;
    options.caseSensitive = request.caseSensitive;
    options.wholeWords = request.wholeWords;
    options.allWords = request.allWords;
    options.umlauts = request.umlauts;
    options.countHits = request.countHits;
    const QString stripped = text::trimControl(request.searchText);
    const QStringList words = request.allWords ? OptionFileSearch::words(options) : QStringList {};
    const bool oneCharacterWord
        = std::any_of(words.cbegin(), words.cend(), [](const QString &w) { return w.size() == 1; });
    if (stripped.size() == 1 || oneCharacterWord) {
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

        if (!request.allDatabases) {
            const QChar drive = db::readDriveLetter(db::fileListPath(programFolder, request.databaseName));
            run.documentMarker = db::documentMarker(drive);
            run.replacementDrive = drive.isNull() ? QString {} : QString(drive);
        }

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
        if (request.allDatabases) {
            m_databases = app::LiesNamenDatenbanken(programFolder);
            for (const QString &name : std::as_const(m_databases)) {
                if (run.cancel.isRequested())
                    break;
                searchOneOfAll(name, options, mapper, request, outcome);
            }
        } else {
            MatchEnvironment env = environment(m_ctx.services.dialogs, mapper);
            env.documentMarker = run.documentMarker;
            env.replacementDrive = run.replacementDrive;
            env.activeKind = state.view.activeKind;
            searchDatabase(request.databaseName, request.useIndex, options, env, m_hits);
        }

        // A cancelled run shows no result, not even the "not found" page.
        if (!run.cancel.isRequested()) {
            writePages(request, outcome);
            if (!outcome.problems.isEmpty())
                m_ctx.services.dialogs.warning(u"Nicht alle Datenbanken konnten ganz durchsucht werden:\n\n"_s
                                               + outcome.problems.join(u'\n'));
        }
    } catch (...) {
        finish(request, outcome, false);
        throw;
    }
    finish(request, outcome, true);
    return outcome;
}

void SearchRun::searchDatabase(const QString &name, bool useIndex, const MatchOptions &options,
                               const MatchEnvironment &env, HitSink &sink)
{
    app::AppState &state = m_ctx.state;
    app::SearchRunState &run = state.run;
    const QString programFolder = state.programFolder;
    auto searchFile = [&](const QString &collected, const QString &titlesPath, CollectedKind kind) {
        // The title table is read while the index is opened.
        db::PendingTitlePositions titles(titlesPath);
        CandidateSource candidates = candidateSource(name, useIndex, kind == CollectedKind::Utf8 ? db::TextKind::Utf8 : db::TextKind::Mht);
        if (options.beyondLiteral()) {
            OptionFileSearch loop(options, env, run);
            loop.setCandidateSource(&candidates);
            loop.run(collected, titles, kind, sink);
        } else {
            CollectedFileSearch loop(options, env, run);
            loop.setCandidateSource(&candidates);
            loop.run(collected, titles, kind, sink);
        }
    };
    const QString utf8File = db::collectedTextPath(programFolder, name, db::TextKind::Utf8);
    if (!run.cancel.isRequested() && searchable(utf8File, env.dialogs)) {
        run.utf8ListFlag = true;
        m_ui.prepareViewer(CollectedKind::Utf8);
        state.view.mirrorSuspended = true;
        searchFile(utf8File, db::titlePositionsPath(programFolder, name, db::TextKind::Utf8), CollectedKind::Utf8);
    }
    const QString mhtFile = db::collectedTextPath(programFolder, name, db::TextKind::Mht);
    if (!run.cancel.isRequested() && searchable(mhtFile, env.dialogs)) {
        run.mhtListFlag = true;
        m_ui.prepareViewer(CollectedKind::Utf16);
        state.view.mirrorSuspended = true;
        searchFile(mhtFile, db::titlePositionsPath(programFolder, name, db::TextKind::Mht), CollectedKind::Utf16);
    }
}

void SearchRun::searchOneOfAll(const QString &name, const MatchOptions &options, const DocPathMapper &mapper,
                               const SearchRequest &request, SearchOutcome &outcome)
{
    app::AppState &state = m_ctx.state;
    const QString programFolder = state.programFolder;
    CollectingDialogs messages;
    MatchEnvironment env = environment(messages, mapper);
    // Only the hits of the database the window shows stand for its lists.
    env.activeKind = name == request.databaseName ? state.view.activeKind : app::DocumentKind::None;
    try {
        const QChar drive = db::readDriveLetter(db::fileListPath(programFolder, name));
        env.documentMarker = db::documentMarker(drive);
        env.replacementDrive = drive.isNull() ? QString {} : QString(drive);
    } catch (const Error &e) {
        outcome.problems << problemLine(name, e.message());
        return;
    }
    state.run.documentMarker = env.documentMarker;
    state.run.replacementDrive = env.replacementDrive;

    // A database needs a text file with something in it; a few bytes (a byte-order mark, a
    // line end) hold no document. Anything else in a file's place is reported as it is searched.
    qint64 bytes = 0;
    bool anyFile = false;
    bool notAFile = false;
    for (const db::TextKind kind : {db::TextKind::Utf8, db::TextKind::Mht}) {
        const QFileInfo file(db::collectedTextPath(programFolder, name, kind));
        anyFile = anyFile || file.exists();
        notAFile = notAFile || (file.exists() && !file.isFile());
        if (file.isFile())
            bytes += file.size();
    }
    if (!anyFile) {
        outcome.problems << problemLine(name, u"Ihre Textdateien fehlen."_s);
        return;
    }
    if (bytes < 4 && !notAFile) {
        outcome.problems << problemLine(name, u"Sie enthält keine Dokumente."_s);
        return;
    }
    DatabaseSink sink(m_hits, name);
    searchDatabase(name, request.useIndex, options, env, sink);
    for (const QString &message : std::as_const(messages.messages))
        outcome.problems << problemLine(name, message);
}

void SearchRun::writePages(const SearchRequest &request, SearchOutcome &outcome)
{
    app::SearchRunState &run = m_ctx.state.run;
    output::ResultPageSettings settings;
    settings.programFolder = m_ctx.state.programFolder;
    settings.databaseName = request.databaseName;
    settings.caseSensitive = request.caseSensitive;
    settings.wholeWords = request.wholeWords;
    settings.allWords = request.allWords;
    settings.umlauts = request.umlauts;
    settings.countHits = request.countHits;
    settings.allDatabases = request.allDatabases;
    if (request.allDatabases) {
        settings.databaseNames = m_databases;
        settings.problems = outcome.problems;
    }
    for (const Hit &hit : std::as_const(m_hits.hits))
        outcome.occurrences += hit.occurrences;
    settings.totalHits = m_hits.hits.size();
    settings.totalOccurrences = outcome.occurrences;
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
