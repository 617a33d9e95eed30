#pragma once

#include "core/app/context.h"

#include <QString>

namespace vespira::app {

// The smallest size of the main window.
inline constexpr int MinMainWidth = 700;
inline constexpr int MinMainHeight = 420;

// The width a missing Weite or SWeite falls back to: 900, or the screen width on a
// screen at most 1024 pixels wide (900 when no screen width is known).
int defaultWindowWidth(int screenWidth);

// Writes the twelve first-start values, in their order, and makes clHighlight and clWhite
// the current colour texts. Does nothing and returns false when Ausgewaehlte_Datenbank
// is present (the program has run before).
bool writeFirstStartValues(Settings &settings, AppState &state);

// Window sizes as read at creation, applied by the first show.
struct WindowSizes
{
    int height = 506;
    int width = 900;
    int searchHeight = 500;
    int searchWidth = 900;
};
WindowSizes readWindowSizes(const Settings &settings, int defaultWidth);

// Creates "Datenbank", "Datenbank/Suchwoerterlisten" and "Datenbank/Temp" under the
// program folder, one level each, when missing. A folder that cannot be created is
// reported with a warning and the next one is tried.
void createDataFolders(const QString &programFolder, platform::Dialogs &dialogs);

// An installed program keeps its manual and its default web address file in a shared
// folder (<prefix>/share/vespira-html/), while the "?" buttons and the web panel look in
// the program folder: copies them there. The address file only when the program folder has
// none (the user may have edited it), the manual also when the shared one is newer.
void provideSharedFiles(const QString &programFolder, const QString &sharedFolder);

// The sibling edition's control folder: active when the value is non-empty and occurs,
// without regard to case, inside the program folder. The folder is kept either way.
struct ControlFolder
{
    QString folder;
    bool active = false;
};
ControlFolder controlFolderState(const QString &value, const QString &programFolder);

// The main window's creation work that touches no window, on a context whose program
// folder is decided: first-start values, default width, data folders, derived paths,
// control folder state. Returns the window sizes to apply at first show.
WindowSizes prepareStart(Context &context);

// A font size for the viewers from SchriftsizeTextViewer; 10 when missing or not a
// usable size.
int viewerFontSize(const Settings &settings);

} // namespace vespira::app
