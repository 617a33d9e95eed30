#include "core/index/indexfiles.h"

#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace vespira::index {

namespace {

constexpr db::TextKind IndexedKinds[] = {db::TextKind::Utf8, db::TextKind::Mht};

[[noreturn]] void cannotWrite(const QString &path, const QString &reason)
{
    throw Error(u"Die Datei \""_s + QDir::toNativeSeparators(path) + u"\" kann nicht geschrieben werden: "_s + reason);
}

} // namespace

IndexedText indexedTextOf(db::TextKind kind)
{
    return kind == db::TextKind::Mht ? IndexedText::Utf16LE : IndexedText::Utf8;
}

QString indexSuffix(db::TextKind kind)
{
    return QString::fromUtf16(kind == db::TextKind::Mht ? db::suffix::MhtTrigrams : db::suffix::Utf8Trigrams);
}

QString indexPath(const QString &programFolder, const QString &name, db::TextKind kind)
{
    return db::filePath(programFolder, name, indexSuffix(kind));
}

TrigramIndex openIndex(const QString &programFolder, const QString &name, db::TextKind kind)
{
    return TrigramIndex::open(indexPath(programFolder, name, kind),
                              db::collectedTextPath(programFolder, name, kind), indexedTextOf(kind));
}

IndexFilesOutcome writeIndexFiles(const QString &programFolder, const QString &name, const Progress &progress)
{
    IndexFilesOutcome outcome;
    qint64 total = 0;
    for (const db::TextKind kind : IndexedKinds) {
        const QString collected = db::collectedTextPath(programFolder, name, kind);
        if (paths::isRegularFile(collected))
            total += QFileInfo(collected).size();
    }
    qint64 before = 0;
    for (const db::TextKind kind : IndexedKinds) {
        IndexFileReport report;
        report.kind = kind;
        report.path = indexPath(programFolder, name, kind);
        const QString collected = db::collectedTextPath(programFolder, name, kind);
        if (!paths::isRegularFile(collected)) {
            report.removed = QFileInfo(report.path).isFile() && QFile::remove(report.path);
            outcome.files.push_back(report);
            continue;
        }
        QSaveFile out(report.path);
        // Unbuffered, so a write the disk takes only in part fails at once.
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            cannotWrite(report.path, out.errorString());
        const auto write = [&](const QByteArray &bytes) {
            const qint64 written = out.write(bytes);
            if (written != bytes.size()) {
                const QString reason = writeFailureReason(out, written, bytes.size());
                out.cancelWriting();
                cannotWrite(report.path, reason);
            }
        };
        // The token stays the caller's: this file's steps are reported as steps of both.
        CancelToken stop;
        const Progress fileProgress([&](qint64 done, qint64) {
            if (!progress.step(before + done, total))
                stop.request();
        }, &stop);
        BuildInput input;
        input.collectedPath = collected;
        input.titlesPath = db::titlePositionsPath(programFolder, name, kind);
        input.kind = indexedTextOf(kind);
        report.build = buildTrigramIndex(input, write, fileProgress);
        if (report.build.cancelled) {
            out.cancelWriting();
            outcome.cancelled = true;
            return outcome;
        }
        if (!out.commit())
            cannotWrite(report.path, out.errorString());
        before += report.build.textBytes;
        outcome.files.push_back(report);
    }
    return outcome;
}

} // namespace vespira::index
