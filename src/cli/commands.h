#pragma once

#include <QStringList>

namespace vespira::cli {

// Exit codes shared by the subcommands.
inline constexpr int ExitOk = 0;
inline constexpr int ExitNothingFound = 1;
inline constexpr int ExitError = 2;
inline constexpr int ExitInterrupted = 130;

// The program folder of a command given no -C: the working folder; for an installed vespira
// the per-user data folder that the installed program starts in from the desktop menu,
// made when missing, so both see the same databases.
QString defaultProgramFolder();

// Each takes the arguments after its subcommand's name and returns the exit code.
int runIndex(const QStringList &arguments);
int runSearch(const QStringList &arguments);
int runLists(const QStringList &arguments);
int runTrigrams(const QStringList &arguments);

} // namespace vespira::cli
