#pragma once

#include "core/common/docpath.h"

#include <QString>

#include <optional>

namespace vespira::searchwindow {

// The rules of the left search bar: what its change handling writes back, which option
// a text chooses, and how a path shortcut ("#C:\dir\file.txt") finds its file.

// The text to write back for the first clean-up of tag remnants that applies to the bar's
// text (text copied from HTML), or nullopt when none applies. Works on the trimmed text:
// a leading "/><" goes, else a leading "<", else everything from the first ">", else
// everything from the first "<", else a "/" that is the only one and the last character.
// Applied again to its own result until nullopt, it gives the cleaned text.
std::optional<QString> tagRemnantWriteBack(const QString &barText);

// Whether a trimmed text asks for a phrase search: it holds a blank or a tab.
bool choosesPhrase(const QString &trimmed);

// Whether a trimmed text is a path shortcut: "#", a drive letter, ":\" ...
bool isPathShortcut(const QString &trimmed);

// Whether the path's file name (after its last "\") has an extension.
bool hasFileExtension(const QString &windowsPath);

// The drive-letter search for a path whose drive letter was cut off (":\dir\file.txt"):
// the program folder's drive (Z:, the root), else the last of A, B, D ... Z under which
// the file exists, else the program folder + the rest of the path. Returns a native path
// (which need not exist), or "" when the path does not start with ":\" and nothing exists.
QString driveLetterSearch(const QString &pathWithoutLetter, const QString &programFolder,
                          const DocPathMapper &mapper);

// Where a path shortcut leads.
struct PathShortcut
{
    QString withoutLetter;     // ":\dir\file.txt"
    QString typed;             // "C:\dir\file.txt", the path as typed
    bool missingExtension = false;
    QString nativeFile;        // the file to open, "" when none was found
};

PathShortcut resolvePathShortcut(const QString &trimmed, const QString &programFolder,
                                 const DocPathMapper &mapper);

// Box texts of the path shortcut.
QString missingExtensionText(const QString &withoutLetter);
QString notFoundText(const QString &typed);
QString openPathQuestion();

} // namespace vespira::searchwindow
