// vespira search [-C PROGRAMMORDNER] [--case] [--whole-words] [--all-words] [--umlauts]
//                [--count] [--open] [--scan] NAME TEXT
// vespira search ... --all-databases TEXT
//
// The search run of the search window, headless: it empties and writes Datenbank/Temp/
// with the same result pages, prints one line per hit (path, TAB, context; with --count the
// number of occurrences and a TAB before the context; with --all-databases the database's
// name and a TAB in front) and a summary on standard error. --scan leaves the trigram index
// aside (for comparison, or should it ever be in the way); the hits are the same. Exit 0
// when something was found, 1 when nothing was, 2 on an error, 130 when Ctrl+C stopped it
// (no result page is then written).

#include "cli/commands.h"

#include "cli/console.h"
#include "core/app/context.h"
#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/db/dbfiles.h"
#include "core/search/searchrun.h"
#include "platform/qsettingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace vespira::cli {

namespace {

// Message boxes become lines on standard error; a question is answered No.
class ConsoleDialogs final : public platform::Dialogs
{
public:
    void information(const QString &text) override { print(text); }
    void warning(const QString &text) override { print(text); }
    void error(const QString &text) override
    {
        print(text);
        ++errors;
    }
    bool confirm(const QString &text) override
    {
        print(text);
        return false;
    }
    QStringList shown;
    int errors = 0;

private:
    void print(const QString &text)
    {
        shown << text;
        QTextStream(stderr) << u"vespira search: "_s << text << u'\n';
    }
};

// Opening and starting programs without a window system of our own: the desktop's
// opener for files and addresses, the named program for a browser.
class ConsoleShell final : public platform::Shell
{
public:
    bool openUrl(const QString &pathOrAddress) override
    {
        return QProcess::startDetached(u"xdg-open"_s, {pathOrAddress});
    }
    bool startDetached(const QString &program, const QStringList &arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
    QString findExecutable(const QStringList &names) const override
    {
        for (const QString &name : names)
            if (!QStandardPaths::findExecutable(name).isEmpty())
                return name;
        return {};
    }
};

class NoClipboard final : public platform::Clipboard
{
public:
    void setText(const QString &) override {}
    QString text() const override { return {}; }
};

class ConsoleSystem final : public platform::System
{
public:
    int screenWidth() const override { return 0; }
    bool isAdministrator() const override { return false; }
    bool windowClassExists(const QString &) const override { return false; }
    QList<platform::BrowserEntry> installedBrowsers() const override { return {}; }
};

// The run's progress on the console: a bar over the file being scanned, and Ctrl+C as the
// cancel button.
class ConsoleRunUi final : public search::SearchRunUi
{
public:
    explicit ConsoleRunUi(CancelToken &cancel)
        : m_cancel {cancel}
    {
    }

    void prepareViewer(search::CollectedKind kind) override
    {
        m_caption = kind == search::CollectedKind::Utf8 ? u"UTF-8-Text"_s : u"MHT-Text"_s;
    }
    void progress(qint64 done, qint64 total) override
    {
        m_bar.show(done, total, m_caption);
        if (InterruptGuard::interrupted())
            m_cancel.request();
    }
    void notice(const QString &text) override
    {
        m_bar.clear();
        QTextStream(stderr) << u"vespira search: "_s << text << u'\n';
    }
    void clear() { m_bar.clear(); }

private:
    CancelToken &m_cancel;
    ProgressBar m_bar;
    QString m_caption;
};

const char16_t Usage[] =
    u"Aufruf: vespira search [-C PROGRAMMORDNER] [--case] [--whole-words] [--all-words] [--umlauts]\n"
    u"                       [--count] [--open] [--scan] NAME TEXT\n"
    u"        vespira search [OPTIONEN] --all-databases TEXT\n"
    u"  --scan  ohne den Trigramm-Index suchen (gleiche Treffer, liest die ganze Sammeldatei)\n";

int usageError(const QString &message)
{
    QTextStream(stderr) << u"vespira search: "_s << message << u'\n' << QString::fromUtf16(Usage);
    return ExitError;
}

} // namespace

int runSearch(const QStringList &arguments)
{
    QString programFolder;
    search::SearchRequest request;
    bool open = false;
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == u"-C") {
            if (++i >= arguments.size())
                return usageError(u"-C braucht einen Ordner."_s);
            programFolder = arguments.at(i);
        } else if (a == u"--case") {
            request.caseSensitive = true;
        } else if (a == u"--whole-words") {
            request.wholeWords = true;
        } else if (a == u"--all-words") {
            request.allWords = true;
        } else if (a == u"--umlauts") {
            request.umlauts = true;
        } else if (a == u"--count") {
            request.countHits = true;
        } else if (a == u"--all-databases") {
            request.allDatabases = true;
        } else if (a == u"--open") {
            open = true;
        } else if (a == u"--scan") {
            request.useIndex = false;
        } else if (a == u"--help" || a == u"-h") {
            QTextStream(stdout) << QString::fromUtf16(Usage);
            return ExitOk;
        } else if (a.startsWith(u'-') && a.size() > 1 && positional.isEmpty()) {
            return usageError(u"unbekannte Option \""_s + a + u"\""_s);
        } else {
            positional << a;
        }
    }
    if (request.allDatabases && positional.size() != 1)
        return usageError(u"Mit --all-databases wird nur TEXT erwartet."_s);
    if (!request.allDatabases && positional.size() != 2)
        return usageError(u"NAME und TEXT werden erwartet."_s);
    if (!request.allDatabases)
        request.databaseName = positional.at(0);
    request.searchText = positional.back();
    if (programFolder.isEmpty())
        programFolder = defaultProgramFolder();
    programFolder = paths::withSlash(QDir(programFolder).absolutePath());

    if (!request.allDatabases && !paths::isRegularFile(db::fileListPath(programFolder, request.databaseName))) {
        QTextStream(stderr) << u"vespira search: Die Datenbank \""_s << request.databaseName
                            << u"\" gibt es in \""_s << programFolder << u"Datenbank/\" nicht.\n"_s;
        return ExitError;
    }

    ConsoleDialogs dialogs;
    ConsoleShell shell;
    NoClipboard clipboard;
    platform::QSettingsStore settings;
    ConsoleSystem system;
    app::Context ctx(platform::Services {dialogs, shell, clipboard, settings, system});
    ctx.state.programFolder = programFolder;
    ctx.state.catalog.searchTimeDatabase = request.databaseName;

    const InterruptGuard interrupt;
    ConsoleRunUi ui(ctx.state.run.cancel);
    search::SearchRun run(ctx, ui);
    run.setOpenBrowser(open);
    QElapsedTimer clock;
    clock.start();
    search::SearchOutcome outcome;
    try {
        outcome = run.run(request);
        ui.clear();
    } catch (const Error &e) {
        ui.clear();
        QTextStream(stderr) << u"vespira search: "_s << e.message() << u'\n';
        return ExitError;
    }
    if (outcome.status == search::SearchOutcome::Status::Refused)
        return ExitError;
    if (outcome.status == search::SearchOutcome::Status::Cancelled) {
        QTextStream(stderr) << u"vespira search: abgebrochen, keine Ergebnisseite geschrieben.\n"_s;
        return ExitInterrupted;
    }

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    for (const Hit &hit : run.hits()) {
        if (request.allDatabases)
            out << hit.database << u'\t';
        out << hit.path << u'\t';
        if (request.countHits)
            out << hit.occurrences << u'\t';
        out << hit.context << u'\n';
    }
    out.flush();

    QTextStream(stderr) << u"vespira search: "_s << outcome.hitCount << u" Treffer, "_s
                        << (request.countHits ? QString::number(outcome.occurrences) + u" Fundstellen, "_s : QString {})
                        << outcome.pagesWritten
                        << u" Ergebnisseite(n) in "_s << programFolder << QString::fromUtf16(paths::Temp)
                        << u", "_s << QString::number(clock.elapsed() / 1000.0, 'f', 2) << u" s\n"_s;
    if (dialogs.errors > 0 && outcome.hitCount == 0)
        return ExitError;
    return outcome.hitCount > 0 ? ExitOk : ExitNothingFound;
}

} // namespace vespira::cli
