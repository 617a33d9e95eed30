#pragma once

// Builds a small database in a temporary program folder: the file list, the UTF-8 and the
// UTF-16 little-endian collected files with their title-position files. Each document
// block is its marker line "#" + path and the document's lines, all ending in CR LF.

#include "support/tempdir.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace vespira::test {

struct FixtureDocument
{
    QString path;   // Windows-style, "C:\Texte\a.htm"
    QString text;   // lines separated by "\r\n"
};

inline QByteArray utf16le(const QString &s)
{
    QByteArray bytes;
    for (const QChar ch : s) {
        bytes.append(char(ch.unicode() & 0xFF));
        bytes.append(char(ch.unicode() >> 8));
    }
    return bytes;
}

// Writes "Datenbank/<name>.dat" with the header drive letter.
inline void writeFileList(const TempProgramFolder &folder, const QString &name, const QString &drive,
                          const std::vector<FixtureDocument> &documents)
{
    QByteArray list = "PFAD_UND_ENDUNGEN=" + drive.toUtf8() + ":\\Texte\\;htm\r\n";
    for (const FixtureDocument &d : documents)
        list += d.path.toUtf8() + "\r\n";
    folder.write(QStringLiteral("Datenbank/") + name + QStringLiteral(".dat"), list);
}

// Writes a collected file and its title positions; utf16 picks the MHT pair.
inline void writeCollected(const TempProgramFolder &folder, const QString &name,
                           const std::vector<FixtureDocument> &documents, bool utf16,
                           const QByteArray &prefix = {})
{
    QByteArray collected = prefix;
    QByteArray titles;
    for (const FixtureDocument &d : documents) {
        const QString block = QStringLiteral("#") + d.path + QStringLiteral("\r\n") + d.text + QStringLiteral("\r\n");
        titles += QByteArray::number(collected.size()) + " #" + d.path.toUtf8() + "\r\n";
        collected += utf16 ? utf16le(block) : block.toUtf8();
    }
    const QString base = QStringLiteral("Datenbank/") + name;
    folder.write(base + (utf16 ? QStringLiteral("_MHTtext.txt") : QStringLiteral("_UTF8Dokument.txt")), collected);
    folder.write(base + (utf16 ? QStringLiteral("_MHT_TitelPositionen.txt") : QStringLiteral("_Utf8_TitelPositionen.txt")),
                 titles);
}

} // namespace vespira::test
