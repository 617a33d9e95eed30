#pragma once

#include "gui/common/appearance.h"

#include <QColor>
#include <QString>

class QWidget;

namespace vespira::gui {

// The program's three windows, found among the top-level widgets by object name (or class
// name), so the settings dialog reaches the controls of the other windows without owning them.
inline constexpr char16_t MainWindowName[] = u"TMainForm_Vespira_HTML";
inline constexpr char16_t SearchWindowName[] = u"TSuchForm";
inline constexpr char16_t SettingsDialogName[] = u"TEinstellform";

// nullptr when no such window exists.
QWidget *findWindow(const QString &name);
ProgramWindows findProgramWindows();
// A named control of a window; nullptr when the window or the control is missing.
QWidget *findControl(const QString &window, const QString &control);

// The window background colour on every window and panel that carries it (as a stored
// colour is applied at start), the main window's Image1 made transparent.
void applyBackgroundColour(const QColor &color);

// Makes the main window one pixel wider and back, so everything on it repaints.
void repaintMainWindow();

} // namespace vespira::gui
