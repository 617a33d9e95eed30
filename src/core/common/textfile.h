#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace vespira {

enum class CodePage { Utf8 = 65001, Utf16LE = 1200, Ansi = 1252 };

// The bytes of a whole text in a code page: UTF-8 without byte-order mark, UTF-16 little
// endian with FF FE, or windows-1252 without mark.
QByteArray encodeText(const QString &text, CodePage codePage);

// Writes a whole file under a temporary name and renames it into place, so a failed
// write (a full disk, say) leaves the earlier file as it was. Throws Error with a German
// message naming the file.
void writeFileAtomic(const QString &path, const QByteArray &bytes);

// The same without waiting for the disk: for files made anew by every run (result pages),
// where a file lost to a power cut costs nothing. The rename still keeps a reader from
// ever seeing half a file. A spare file, when given, is rewritten instead of creating a
// new one (it is gone afterwards). Throws Error as writeFileAtomic does.
void writeFileReplacing(const QString &path, const QByteArray &bytes, const QString &spare = {});

// Why a write failed, for the "kann nicht geschrieben werden: " messages: a write the disk
// took only in part (written of wanted bytes) carries no error text of its own.
QString writeFailureReason(const QFileDevice &file, qint64 written, qint64 wanted);

// WriteToStream: a whole text file in a code page, written as writeFileAtomic does.
void WriteToStream(const QString &text, const QString &fileName, CodePage codePage);

// Reads a whole file; throws Error when it cannot be opened or read.
QByteArray readWholeFile(const QString &path);

// Deletes every entry of a folder, folders recursively; failures are ignored.
void emptyFolder(const QString &folder);

} // namespace vespira
