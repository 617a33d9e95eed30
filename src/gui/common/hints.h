#pragma once

class QWidget;

namespace vespira::gui {

// Switches a widget's tool-tip hints on or off without touching their texts: while off,
// the widget's tool-tip events are swallowed.
void setHintsShown(QWidget *widget, bool shown);
bool hintsShown(const QWidget *widget);

} // namespace vespira::gui
