// vespira trigrams [-C PROGRAMMORDNER] NAME
//
// Writes the trigram index files of a database from its collected files, for a database
// made before there were index files or by another producer. Each file is written under a
// temporary name and renamed into place. Exit 0 done, 2 error, 130 interrupted.

#include "cli/commands.h"
#include "cli/console.h"

#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/db/dbfiles.h"
#include "core/index/indexfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace vespira::cli {

namespace {

const char16_t Usage[] = u"Aufruf: vespira trigrams [-C PROGRAMMORDNER] NAME\n";

int usageError(const QString &message)
{
    QTextStream(stderr) << u"vespira trigrams: "_s << message << u'\n' << QString::fromUtf16(Usage);
    return ExitError;
}

QString whole(qint64 value)
{
    return QLocale(QLocale::German).toString(value);
}

QString decimal(double value, int digits)
{
    return QLocale(QLocale::German).toString(value, 'f', digits);
}

} // namespace

int runTrigrams(const QStringList &arguments)
{
    QString programFolder = QDir::currentPath();
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == u"-C") {
            if (++i >= arguments.size())
                return usageError(u"-C braucht einen Programmordner."_s);
            programFolder = arguments.at(i);
        } else if (a == u"--help" || a == u"-h") {
            QTextStream(stdout) << QString::fromUtf16(Usage);
            return ExitOk;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return usageError(u"unbekannte Option \""_s + a + u"\""_s);
        } else {
            positional << a;
        }
    }
    if (positional.size() != 1)
        return usageError(u"NAME wird erwartet."_s);
    const QString name = positional.first();
    programFolder = paths::withSlash(QDir(programFolder).absolutePath());

    QTextStream err(stderr);
    if (!paths::isRegularFile(db::fileListPath(programFolder, name))) {
        err << u"vespira trigrams: Die Datenbank \""_s << name << u"\" gibt es in \""_s << programFolder
            << u"Datenbank/\" nicht.\n"_s;
        return ExitError;
    }
    if (!paths::isRegularFile(db::collectedTextPath(programFolder, name, db::TextKind::Utf8))
        && !paths::isRegularFile(db::collectedTextPath(programFolder, name, db::TextKind::Mht))) {
        err << u"vespira trigrams: Die Datenbank \""_s << name
            << u"\" hat keine Sammeldatei, die gesucht wird (UTF-8 oder MHT).\n"_s;
        return ExitError;
    }

    const InterruptGuard interruptGuard;
    index::IndexFilesOutcome outcome;
    try {
        CancelToken stop;
        const Progress progress([&](qint64, qint64) {
            if (InterruptGuard::interrupted())
                stop.request();
        }, &stop);
        outcome = index::writeIndexFiles(programFolder, name, progress);
    } catch (const Error &e) {
        err << u"vespira trigrams: "_s << e.message() << u'\n';
        return ExitError;
    }
    QTextStream out(stdout);
    for (const index::IndexFileReport &file : outcome.files) {
        const QString shown = QDir::toNativeSeparators(file.path);
        if (file.removed) {
            out << u"Entfernt: "_s << shown << u" (die Sammeldatei fehlt)\n"_s;
            continue;
        }
        if (file.build.textBytes == 0 && file.build.indexBytes == 0)
            continue;
        const double share = file.build.textBytes > 0 ? 100.0 * double(file.build.indexBytes) / double(file.build.textBytes) : 0;
        out << shown << u'\n'
            << u"  Blöcke:        "_s << whole(file.build.blocks) << u'\n'
            << u"  Trigramme:     "_s << whole(file.build.trigrams) << u'\n'
            << u"  Bytes Text:    "_s << whole(file.build.textBytes) << u'\n'
            << u"  Bytes Index:   "_s << whole(file.build.indexBytes) << u" ("_s << decimal(share, 1) << u" %)\n"_s;
    }
    out.flush();
    if (outcome.cancelled) {
        err << u"Abgebrochen: der Index, der gerade geschrieben wurde, blieb wie er war.\n"_s;
        return ExitInterrupted;
    }
    return ExitOk;
}

} // namespace vespira::cli
