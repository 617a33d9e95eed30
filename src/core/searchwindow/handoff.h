#pragma once

#include <QString>

#include <optional>

namespace vespira::searchwindow {

// The file in which the sibling edition hands a search text over: its control folder +
// "Datenbank/Suchtext.txt". Empty when there is no control folder (the file would then be
// looked for in whatever the working folder happens to be).
QString handOffPath(const QString &controlFolder);

// The handed-over text, decoded by its byte-order mark; nullopt when there is no such file.
std::optional<QString> readHandOffText(const QString &controlFolder);

// The search button takes the text over and deletes the file: the text as the activation
// already read it (readBefore), or from the file when it did not. nullopt when there is no
// file; then nothing is deleted.
std::optional<QString> takeHandOffText(const QString &controlFolder, const QString &readBefore);

} // namespace vespira::searchwindow
