#include "cli/commands.h"

#include "core/app/catalog.h"
#include "cli/console.h"
#include "core/common/error.h"
#include "core/common/paths.h"
#include "producer/indexer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace vespira::cli {

namespace {

const char16_t IndexUsage[] = u"Aufruf: vespira index [-C PROGRAMMORDNER] [--replace] NAME ORDNER...\n"
                               u"       vespira index --update [-C PROGRAMMORDNER] NAME\n"
                               u"       vespira index --update-all [-C PROGRAMMORDNER]\n";

QString decimal(double value, int digits)
{
    return QLocale(QLocale::German).toString(value, 'f', digits);
}

QString whole(qint64 value)
{
    return QLocale(QLocale::German).toString(value);
}

// The bar of a build: files done of all, the speed and the time left; a plain line every
// two seconds when standard error is no terminal.
class IndexProgress
{
public:
    IndexProgress()
        : m_bar {2000}
    {
        m_clock.start();
    }

    void update(const producer::IndexProgress &p, bool final = false)
    {
        const double seconds = std::max<double>(m_clock.elapsed(), 1) / 1000.0;
        const double rate = double(p.bytesDone) / seconds;
        const QString mbs = decimal(rate / 1e6, 1) + u" MB/s"_s;
        QString left;
        if (p.bytesDone > 0 && p.bytesDone < p.bytesTotal)
            left = u"noch "_s + whole(qint64(double(p.bytesTotal - p.bytesDone) / rate + 0.5)) + u" s"_s;
        const QString counts = whole(p.filesDone) + u" von "_s + whole(p.filesTotal) + u" Dateien"_s;
        m_bar.show(p.filesDone, p.filesTotal,
                   counts + u"  "_s + mbs + (left.isEmpty() ? QString() : u"  "_s + left), final,
                   counts + u", "_s + mbs + (left.isEmpty() ? QString() : u", "_s + left));
        if (final)
            m_bar.finish();
    }

    // Before a message of its own: the bar's line is cleared first.
    void clearLine() { m_bar.clear(); }

private:
    ProgressBar m_bar;
    QElapsedTimer m_clock;
};

void printSummary(QTextStream &out, const producer::IndexSummary &summary, const QString &programFolder, bool update)
{
    out << u"Datenbank \""_s << summary.name << u"\" in "_s
        << QDir::toNativeSeparators(programFolder + QString::fromUtf16(paths::Datenbank)) << u"\n"_s
        << u"  Dokumente:     "_s << whole(summary.documents) << u'\n';
    if (update) {
        out << u"  Übernommen:    "_s << whole(summary.reused) << u'\n'
            << u"  Entfernt:      "_s << whole(summary.removed) << u'\n';
    }
    out << u"  Bytes HTML:    "_s << whole(summary.htmlBytes) << u'\n'
        << u"  Bytes Text:    "_s << whole(summary.textBytes) << u'\n'
        << u"  Bytes Index:   "_s << whole(summary.indexBytes) << u'\n'
        << u"  Übersprungen:  "_s << whole(summary.skipped) << u'\n'
        << u"  Sekunden:      "_s << decimal(summary.seconds, 2) << u'\n';
    out.flush();
}

} // namespace

int runIndex(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString programFolder;
    bool replace = false;
    bool update = false;
    bool updateAll = false;
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (optionsEnded || !a.startsWith(u'-') || a == u"-") {
            positional.append(a);
        } else if (a == u"--") {
            optionsEnded = true;
        } else if (a == u"-C") {
            if (++i >= arguments.size()) {
                err << u"vespira index: -C braucht einen Programmordner.\n"_s << QString::fromUtf16(IndexUsage);
                return ExitError;
            }
            programFolder = arguments.at(i);
        } else if (a == u"--replace") {
            replace = true;
        } else if (a == u"--update") {
            update = true;
        } else if (a == u"--update-all") {
            updateAll = true;
        } else if (a == u"--help" || a == u"-h") {
            out << QString::fromUtf16(IndexUsage);
            return ExitOk;
        } else {
            err << u"vespira index: unbekannte Option \""_s << a << u"\"\n"_s << QString::fromUtf16(IndexUsage);
            return ExitError;
        }
    }
    const bool usable = updateAll ? positional.isEmpty() && !update && !replace
                        : update  ? positional.size() == 1 && !replace
                                  : positional.size() >= 2;
    if (!usable) {
        err << QString::fromUtf16(IndexUsage);
        return ExitError;
    }
    if (programFolder.isEmpty())
        programFolder = defaultProgramFolder();
    programFolder = paths::withSlash(QDir(programFolder).absolutePath());

    IndexProgress printer;
    const InterruptGuard interrupt;
    producer::IndexProgress last;
    const auto progress = [&](const producer::IndexProgress &p) {
        last = p;
        printer.update(p);
        return !InterruptGuard::interrupted();
    };
    const auto skip = [&](const QString &path, const QString &reason) {
        printer.clearLine();
        err << u"Übersprungen: "_s << path << u": "_s << reason << u'\n';
        err.flush();
    };
    // One database; the exit code of its run.
    const auto run = [&](const producer::IndexOptions &options) {
        last = {};
        try {
            const producer::IndexSummary summary = producer::buildDatabase(options, progress, skip);
            if (summary.cancelled) {
                printer.clearLine();
                err << u"Abgebrochen: die Datenbank \""_s << summary.name << u"\" wurde nicht verändert.\n"_s;
                return ExitInterrupted;
            }
            printer.update(last, true);
            printSummary(out, summary, programFolder, options.reuse);
            return ExitOk;
        } catch (const Error &e) {
            printer.clearLine();
            err << u"vespira index: "_s << e.message() << u'\n';
            return ExitError;
        }
    };

    if (!update && !updateAll) {
        producer::IndexOptions options;
        options.programFolder = programFolder;
        options.replace = replace;
        options.name = positional.takeFirst();
        options.folders = positional;
        return run(options);
    }
    const QStringList names = updateAll ? app::LiesNamenDatenbanken(programFolder) : positional;
    int exitCode = ExitOk;
    for (const QString &name : names) {
        producer::IndexOptions options;
        try {
            options = producer::storedOptions(programFolder, name);
        } catch (const Error &e) {
            // Another producer's database cannot be renewed; the others still can.
            err << (updateAll ? u"Übersprungen: "_s : u"vespira index: "_s) << e.message() << u'\n';
            if (!updateAll)
                return ExitError;
            continue;
        }
        options.reuse = true;
        const int code = run(options);
        if (code == ExitInterrupted)
            return code;
        if (code != ExitOk)
            exitCode = code;
    }
    return exitCode;
}

} // namespace vespira::cli
