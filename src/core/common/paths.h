#pragma once

#include <QString>
#include <QStringList>

namespace vespira::paths {

// Relative paths under the program folder; the program folder always ends with "/".
inline constexpr char16_t Datenbank[] = u"Datenbank/";
inline constexpr char16_t Suchwoerterlisten[] = u"Datenbank/Suchwoerterlisten/";
inline constexpr char16_t Temp[] = u"Datenbank/Temp/";
inline constexpr char16_t ZipTemp[] = u"Datenbank/Temp/ZipTemp/";
inline constexpr char16_t Adressen[] = u"Adressen_Webseiten.txt";
inline constexpr char16_t Manual[] = u"Vespira_HTML_Light.pdf";

// Appends "/" when missing.
QString withSlash(const QString &folder);

// The program folder rule: with a non-empty first argument after the program name, the
// folder of the executable; otherwise the working directory at start.
QString decideProgramFolder(const QStringList &arguments, const QString &executableFolder,
                            const QString &workingDirectory);

// Looks a file up by name without regard to letter case (Windows file systems do not
// tell case apart, Linux ones do). Returns folder + the name as it stands on disk when
// one entry matches, the exact name when it exists, else folder + name unchanged.
QString resolveNoCase(const QString &folder, const QString &name);

// Whether path names an existing regular file (not a folder).
bool isRegularFile(const QString &path);

} // namespace vespira::paths
