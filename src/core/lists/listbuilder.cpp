#include "core/lists/listbuilder.h"

#include "core/common/error.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/db/dbfiles.h"
#include "core/db/filelist.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace vespira::lists {

namespace {

PieceEncoding pieceEncoding(ListMode mode)
{
    switch (mode) {
    case ListMode::Ansi: return PieceEncoding::Ansi;
    case ListMode::Utf8: return PieceEncoding::Utf8;
    case ListMode::Mht: return PieceEncoding::Utf16LE;
    }
    return PieceEncoding::Utf8;
}

} // namespace

bool isDocumentMarkerLine(QStringView trimmedLine)
{
    return trimmedLine.size() >= 4 && trimmedLine[0] == u'#' && trimmedLine[2] == u':'
        && trimmedLine[3] == u'\\';
}

QString documentDriveLetter(const QString &programFolder, const QString &name,
                            const DocPathMapper &mapper, QString &replacementDrive)
{
    const QString fileList = db::fileListPath(programFolder, name);
    QString first;
    if (paths::isRegularFile(fileList)) {
        try {
            first = db::readFirstDocumentPath(fileList);
        } catch (const Error &) {
            first.clear(); // an unreadable file list is a missing first document
        }
    }
    if (!first.isEmpty() && mapper.existsAsFile(first))
        return first.left(1);

    // The probe: under which drive letter the file list itself is found.
    const QString native = QFileInfo(fileList).absoluteFilePath();
    QString found;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        if (letter == u'C')
            continue;
        const QString root = mapper.driveRoot(QChar(letter));
        if (root.isEmpty() || !native.startsWith(root))
            continue;
        QString rest = native.mid(root.size());
        rest.replace(u'/', u'\\');
        if (mapper.existsAsFile(QString(QChar(letter)) + u":\\"_s + rest))
            found = QString(QChar(letter));
    }
    replacementDrive = found;
    return found;
}

ListBuildOutcome ErstelleNachtraeglichSortierteListen(const ListBuildRequest &request,
                                                      QString &replacementDrive,
                                                      const ListBuildCallbacks &callbacks)
{
    const ListMode mode = request.mode;
    const QString drive = documentDriveLetter(request.programFolder, request.databaseName,
                                              request.mapper, replacementDrive);
    const QString outputFile = listFilePath(request.programFolder, request.databaseName, mode);
    const QString tempFolder = request.programFolder + QString::fromUtf16(paths::Temp);
    const PieceEncoding encoding = pieceEncoding(mode);
    const QString prefix = statusPrefix(mode);

    auto report = [&](qint64 position, qint64 maximum) {
        return callbacks.progress.step(position, maximum);
    };

    // Progress between pieces, at every document, and in between by time: a piece of one
    // long line must let events through as well as one of many short lines.
    qint64 total = 0;
    qint64 position = 0;
    ProgressPacer pacer([&] { return report(position, total); }, request.progressIntervalMs);

    // Counting pass: the number of document marker lines is the bar's maximum.
    const QStringList pieces = listPieces(tempFolder);
    for (const QString &piece : pieces) {
        if (!report(0, total))
            return ListBuildOutcome::Cancelled;
        const QString text = readPiece(piece, encoding);
        const bool finished = forEachLine(text, [&](QStringView line) {
            if (!pacer.step())
                return false;
            if (isDocumentMarkerLine(trimView(line)))
                ++total;
            return true;
        });
        if (!finished)
            return ListBuildOutcome::Cancelled;
        if (!report(10, total))
            return ListBuildOutcome::Cancelled;
    }
    const QString totalText = text::groupedNumber(total);

    // Main pass.
    SortedLists lists;
    LineSplitter split(request.splitMode, u'#' + drive + u":\\"_s, lists, &pacer);
    qint64 documents = 0;
    position = 10;
    for (const QString &piece : pieces) {
        if (!report(position, total))
            return ListBuildOutcome::Cancelled;
        const QString text = readPiece(piece, encoding);
        const bool finished = forEachLine(text, [&](QStringView rawLine) {
            if (!pacer.step())
                return false;
            const QStringView line = trimView(rawLine);
            if (line.isEmpty() || (line.contains(u'=') && line.contains(u"==========")))
                return true;
            if (!isDocumentMarkerLine(line))
                return split(line);
            if (documents > 10 && documents < total)
                position = documents;
            const QStringView path = line.sliced(1);
            bool exists = request.mapper.existsAsFile(path.toString());
            if (!exists)
                exists = request.mapper.existsAsFile(replacementDrive + path.sliced(1));
            if (exists) {
                lists.addDocument(line);
                ++documents;
            }
            if (callbacks.caption)
                callbacks.caption(prefix + text::groupedNumber(documents) + u" von "_s + totalText + u' '
                                  + (exists ? path.toString() : QString()));
            return pacer.report();
        });
        if (!finished)
            return ListBuildOutcome::Cancelled;
        QFile::remove(piece);
    }

    if (!report(position, total))
        return ListBuildOutcome::Cancelled;

    QString content;
    try {
        // The UTF-8 list of a lone document carries a blank entry beside it.
        if (mode == ListMode::Utf8 && lists.list(SortedLists::Documents).sorted(&pacer).size() == 1)
            lists.addDocument(u" ");
        content = lists.text(&pacer);
    } catch (const WorkCancelled &) {
        return ListBuildOutcome::Cancelled;
    }
    if (!report(position, total))
        return ListBuildOutcome::Cancelled;
    WriteToStream(content, outputFile, listCodePage(mode));
    return ListBuildOutcome::Written;
}

} // namespace vespira::lists
