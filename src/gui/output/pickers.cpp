#include "gui/output/pickers.h"

#include <QColorDialog>

namespace vespira::gui {

std::optional<QColor> QtColorPicker::pickColor(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace vespira::gui
