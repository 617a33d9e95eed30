#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace vespira::gui {

// The colour dialog behind an interface, so tests answer it instead of a person.
class ColorPicker
{
public:
    virtual ~ColorPicker() = default;
    // The confirmed colour, or nullopt when the dialog was cancelled.
    [[nodiscard]] virtual std::optional<QColor> pickColor(QWidget *parent, const QColor &initial) = 0;
};

// The toolkit's colour dialog.
class QtColorPicker final : public ColorPicker
{
public:
    std::optional<QColor> pickColor(QWidget *parent, const QColor &initial) override;
};

} // namespace vespira::gui
