#pragma once

#include <QByteArray>
#include <QString>

namespace vespira::output {

// Reads values of an initialisation-format file ("[Section]" lines, "key=value" lines) the
// way the Windows profile-string reader does, because Adressen_Webseiten.txt files are
// written for that reader and users keep them that way:
// - section and key names are compared without regard to letter case; the first section
//   and the first key of a name count;
// - blanks and tabs around names and values are dropped; a value wholly enclosed in one
//   pair of matching quotes loses them, and any other quote or comma is plain text;
// - a line starting with ";" is a comment;
// - the text is windows-1252; a file that starts with a UTF-8 byte-order mark is UTF-8;
// - a value is cut to maxLength characters (254 with the usual 255-character buffer);
// - a missing file, section or key reads as the empty text.
// QSettings' INI format is no substitute: it splits values at commas and unquotes its own way.
class ProfileFile
{
public:
    static constexpr int DefaultMaxLength = 254;

    // Parses the bytes of a whole file.
    explicit ProfileFile(const QByteArray &bytes);
    // The file at path; a missing or unreadable file is an empty one.
    static ProfileFile load(const QString &path);

    [[nodiscard]] QString value(const QString &section, const QString &key,
                                int maxLength = DefaultMaxLength) const;

private:
    QString m_text;
};

// GetPrivateProfileString with a 255-character buffer: reads the file afresh on every call,
// so an edit made while the program runs takes effect at the next read.
QString readProfileString(const QString &path, const QString &section, const QString &key);

} // namespace vespira::output
