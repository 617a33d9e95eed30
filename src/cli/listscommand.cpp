#include "cli/commands.h"

#include "core/common/docpath.h"
#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/lists/sortrun.h"
#include "platform/qsettingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace vespira::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int)
{
    g_interrupted = 1;
}

// Installs the interrupt handler for the lifetime of the command.
class InterruptGuard
{
public:
    InterruptGuard()
    {
        g_interrupted = 0;
        m_previous = std::signal(SIGINT, onInterrupt);
    }
    ~InterruptGuard() { std::signal(SIGINT, m_previous); }
    InterruptGuard(const InterruptGuard &) = delete;
    InterruptGuard &operator=(const InterruptGuard &) = delete;

private:
    void (*m_previous)(int) = SIG_DFL;
};

// A one-line progress bar on standard error, drawn only when that is a terminal.
class ProgressLine
{
public:
    ProgressLine()
        : m_enabled {::isatty(STDERR_FILENO) == 1}
    {
    }
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void update(qint64 position, qint64 maximum)
    {
        m_position = position;
        m_maximum = maximum;
        draw(false);
    }
    void setCaption(const QString &caption)
    {
        m_caption = caption;
        draw(false);
    }
    void setStatus(const QString &status)
    {
        m_caption = status;
        draw(true);
    }
    void clear()
    {
        if (m_enabled && m_drawn) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            m_drawn = false;
        }
    }

private:
    void draw(bool force)
    {
        if (!m_enabled || (!force && m_clock.isValid() && m_clock.elapsed() < 100))
            return;
        m_clock.start();
        constexpr int Width = 30;
        const int filled = m_maximum > 0 ? int(std::clamp<qint64>(m_position * Width / m_maximum, 0, Width)) : 0;
        QString line = u"\r["_s + QString(filled, u'#') + QString(Width - filled, u'-') + u"] "_s + m_caption;
        if (line.size() > 110)
            line = line.left(107) + u"..."_s;
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::fputs("\033[K", stderr);
        std::fflush(stderr);
        m_drawn = true;
    }

    bool m_enabled;
    bool m_drawn = false;
    qint64 m_position = 0;
    qint64 m_maximum = 0;
    QString m_caption;
    QElapsedTimer m_clock;
};

const char16_t ListsUsage[] =
    u"Aufruf: vespira lists [-C PROGRAMMORDNER] [--mode words|phrases|both] NAME\n";

// What a run that stopped early left behind: the lists it wrote before it stopped are new,
// the others are as they were.
QString unchangedNote(const QStringList &written)
{
    if (written.isEmpty())
        return u"die bisherigen Listen bleiben unverändert."_s;
    return u"neu geschrieben ist nur "_s + written.join(u", "_s) + u"; die übrigen Listen bleiben unverändert."_s;
}

int usageError(const QString &message)
{
    QTextStream(stderr) << u"vespira lists: "_s << message << u'\n' << QString::fromUtf16(ListsUsage);
    return ExitError;
}

} // namespace

int runLists(const QStringList &arguments)
{
    QString programFolder;
    QString name;
    lists::SplitMode mode = lists::SplitMode::Words;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == u"--help" || a == u"-h") {
            QTextStream(stdout) << QString::fromUtf16(ListsUsage);
            return ExitOk;
        }
        if (a == u"-C" || a == u"--mode") {
            if (i + 1 >= arguments.size())
                return usageError(u"Nach "_s + a + u" fehlt ein Wert."_s);
            const QString value = arguments.at(++i);
            if (a == u"-C") {
                programFolder = value;
            } else if (value == u"words") {
                mode = lists::SplitMode::Words;
            } else if (value == u"phrases") {
                mode = lists::SplitMode::Phrases;
            } else if (value == u"both") {
                mode = lists::SplitMode::WordsAndPhrases;
            } else {
                return usageError(u"Unbekannter Modus \""_s + value + u"\" (words, phrases oder both)."_s);
            }
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return usageError(u"Unbekannte Option \""_s + a + u"\"."_s);
        } else if (name.isEmpty()) {
            name = a;
        } else {
            return usageError(u"Nur ein Datenbankname ist erlaubt."_s);
        }
    }
    if (name.isEmpty())
        return usageError(u"Der Name der Datenbank fehlt."_s);
    // The name becomes part of file names in the data folder and must stay inside it.
    if (name.contains(u'/') || name.contains(u'\\') || name == u"." || name == u"..")
        return usageError(u"Ungültiger Datenbankname \""_s + name + u"\"."_s);

    QTextStream err(stderr);
    programFolder = paths::withSlash(QDir(programFolder.isEmpty() ? defaultProgramFolder() : programFolder).absolutePath());
    if (!QDir(programFolder + QString::fromUtf16(paths::Datenbank)).exists()) {
        err << u"vespira lists: Im Programmordner \""_s << programFolder << u"\" gibt es keinen Ordner \"Datenbank\".\n"_s;
        return ExitError;
    }

    // Drive folders do not change during a run: each is read from the settings once.
    platform::QSettingsStore store;
    QHash<QString, QString> driveFolders;
    DocPathMapper mapper([&](const QString &setting) {
        auto it = driveFolders.find(setting);
        if (it == driveFolders.end())
            it = driveFolders.insert(setting, store.read(setting));
        return *it;
    });

    lists::SortRunRequest request {programFolder, name, mode, mapper, lists::PieceSize};
    app::SortState state;
    QString replacementDrive; // empty, as before the program's first search
    InterruptGuard interrupt;
    ProgressLine bar;
    lists::SortRunCallbacks callbacks;
    callbacks.progress = [&](qint64 position, qint64 maximum) {
        bar.update(position, maximum);
        return g_interrupted == 0;
    };
    callbacks.caption = [&](const QString &caption) { bar.setCaption(caption); };
    callbacks.status = [&](const QString &status) { bar.setStatus(status); };
    // Standard output names every list file this run wrote, also when it stops early.
    QStringList written;
    callbacks.fileFinished = [&](const QString &listFile, bool done) {
        if (done)
            written.append(QDir::toNativeSeparators(listFile));
    };
    const auto reportWritten = [&] {
        QTextStream out(stdout);
        for (const QString &file : written)
            out << file << u'\n';
    };

    try {
        const lists::SortRunOutcome outcome = lists::SortierteListenErstellen(request, state, replacementDrive, callbacks);
        bar.clear();
        switch (outcome) {
        case lists::SortRunOutcome::NoCollectedFile:
            err << u"vespira lists: "_s << lists::noDocumentsMessage(name) << u'\n';
            return ExitError;
        case lists::SortRunOutcome::Cancelled:
            reportWritten();
            err << u"vespira lists: abgebrochen, "_s << unchangedNote(written) << u'\n';
            return ExitInterrupted;
        case lists::SortRunOutcome::Finished:
            break;
        }
    } catch (const Error &e) {
        bar.clear();
        reportWritten();
        err << u"vespira lists: "_s << e.message() << u'\n';
        if (!written.isEmpty())
            err << u"vespira lists: "_s << unchangedNote(written) << u'\n';
        return ExitError;
    }
    reportWritten();
    return ExitOk;
}

} // namespace vespira::cli
