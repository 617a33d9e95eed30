#pragma once

// What each document of a database was when its text was taken, kept in
// "NAME_Dokumentstand.txt", so that an update extracts only new and changed documents:
//
//   EXTRAKTOR=2                                       the extraction that made the texts
//   <size> <modified, ms since 1970 UTC> <path>       one line per document of the file list
//
// UTF-8, CR LF, in the order of the file list. A text made by another extraction is never
// taken over: the update would then give other text than a rebuild.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace vespira::producer {

struct DocumentStamp
{
    qint64 size = -1;
    qint64 modifiedMs = 0;

    bool operator==(const DocumentStamp &) const = default;
};

struct StoredStamps
{
    int extractorVersion = 0; // 0: none recorded
    QHash<QString, DocumentStamp> documents; // by document path as the file list writes it
};

// The first line, for the extraction of this build.
QByteArray stampsHeader();
QByteArray stampLine(const DocumentStamp &stamp, const QString &documentPath);

// Lines that do not parse are left out.
StoredStamps parseStamps(QByteArrayView bytes);

} // namespace vespira::producer
