#include "cli/commands.h"

#include "cli/console.h"
#include "core/common/docpath.h"
#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/lists/sortrun.h"
#include "platform/qsettingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace vespira::cli {

namespace {

// The bar of a build: the part done, under the window's caption or status line.
class ProgressLine
{
public:
    void update(qint64 position, qint64 maximum)
    {
        m_position = position;
        m_maximum = maximum;
        m_bar.show(m_position, m_maximum, m_caption);
    }
    void setCaption(const QString &caption)
    {
        m_caption = caption;
        m_bar.show(m_position, m_maximum, m_caption);
    }
    void setStatus(const QString &status)
    {
        m_caption = status;
        m_bar.show(m_position, m_maximum, m_caption, true);
    }
    void clear() { m_bar.clear(); }

private:
    ProgressBar m_bar;
    qint64 m_position = 0;
    qint64 m_maximum = 0;
    QString m_caption;
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
    const InterruptGuard interrupt;
    ProgressLine bar;
    lists::SortRunCallbacks callbacks;
    callbacks.progress = [&](qint64 position, qint64 maximum) {
        bar.update(position, maximum);
        if (InterruptGuard::interrupted())
            state.sortCancel.request();
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
