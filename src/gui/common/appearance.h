#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace vespira::gui {

// The three windows of the program; any of them may be null (a test without it).
struct ProgramWindows
{
    QWidget *mainWindow = nullptr;     // TMainForm_Vespira_HTML
    QWidget *settingsDialog = nullptr; // TEinstellform
    QWidget *searchWindow = nullptr;   // TSuchForm
};

// The background colour at start. With a stored colour: the main window, the search
// window's PanelLinks, PanelRechts, PanelUnten and ToolBar1, the settings dialog, the
// search window and its Panel2, and the main window's Panel1 take it. Without one
// (nullopt): clHighlight goes to the main window, the settings dialog, the search window
// with its Panel2, and Panel1; the four search-window panels keep their own colour.
void applyStartBackground(const ProgramWindows &windows, const std::optional<QColor> &stored);

// The notice colour: the font colour of the notice labels and option texts of all
// three windows.
void applyNoticeColor(const ProgramWindows &windows, const QColor &color);

} // namespace vespira::gui
