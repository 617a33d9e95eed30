#pragma once

#include "core/app/colortext.h"

#include <QColor>
#include <QString>

#include <optional>

class QListWidget;
class QWidget;

namespace vespira::gui {

// The look of a colour number: plain colours as they are, system colours from the
// application's palette (clHighlight the selection colour, clWindow the base of edits
// and lists, clBtnFace the window background, ...).
QColor toQColor(app::color::ColorNumber color);
// The colour of a colour text; nullopt when the text names no colour.
std::optional<QColor> colorOfText(const QString &text);

// A widget's background: the palette's window colour, filled by the widget itself.
void setBackgroundColor(QWidget *widget, const QColor &color);
QColor backgroundColor(const QWidget *widget);

// A widget's font colour, for labels, check boxes, radio and tool buttons alike.
void setFontColor(QWidget *widget, const QColor &color);
QColor fontColor(const QWidget *widget);

// The colour behind the entries of a list (its base colour).
void setListColor(QListWidget *list, const QColor &color);
QColor listColor(const QListWidget *list);

} // namespace vespira::gui
