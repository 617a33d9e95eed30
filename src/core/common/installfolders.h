#pragma once

#include <QString>

namespace vespira::paths {

// Where an installed program keeps the files it ships for every user: <prefix>/share/vespira-html/
// beside the <prefix>/bin/ of the executable, with the manual and the default web address
// file. Empty when that folder does not exist, as for a program run from its build folder;
// otherwise it ends with "/".
QString installedShareFolder(const QString &executableFolder);

// The per-user data folder of an installed program, its program folder when it is started
// from the desktop menu and the default of vespira: "vespira-html/" in $XDG_DATA_HOME, which
// counts only when it is an absolute path, else in <home>/.local/share. Ends with "/".
QString userDataFolder(const QString &xdgDataHome, const QString &home);

} // namespace vespira::paths
