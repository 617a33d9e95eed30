#include "gui/common/colors.h"

#include <QApplication>
#include <QListWidget>
#include <QPalette>
#include <QWidget>

namespace vespira::gui {

namespace {

QPalette::ColorRole roleOf(app::color::SystemColor c)
{
    using S = app::color::SystemColor;
    switch (c) {
    case S::Highlight:
    case S::MenuHighlight:
    case S::ActiveCaption:
    case S::GradientActiveCaption:
        return QPalette::Highlight;
    case S::HighlightText:
    case S::CaptionText:
        return QPalette::HighlightedText;
    case S::Window:
        return QPalette::Base;
    case S::WindowText:
    case S::MenuText:
    case S::InactiveCaptionText:
        return QPalette::Text;
    case S::BtnText:
        return QPalette::ButtonText;
    case S::BtnShadow:
    case S::InactiveCaption:
    case S::GradientInactiveCaption:
    case S::AppWorkSpace:
        return QPalette::Mid;
    case S::BtnHighlight:
        return QPalette::Light;
    case S::DkShadow3D:
    case S::WindowFrame:
    case S::Background:
        return QPalette::Shadow;
    case S::Light3D:
    case S::ScrollBar:
        return QPalette::Midlight;
    case S::InfoText:
        return QPalette::ToolTipText;
    case S::InfoBk:
        return QPalette::ToolTipBase;
    case S::GrayText:
        return QPalette::PlaceholderText;
    case S::HotLight:
        return QPalette::Link;
    case S::BtnFace:
    case S::Menu:
    case S::MenuBar:
    case S::ActiveBorder:
    case S::InactiveBorder:
        return QPalette::Window;
    }
    return QPalette::Window;
}

} // namespace

QColor toQColor(app::color::ColorNumber color)
{
    if (app::color::isSystemColor(color))
        return QApplication::palette().color(QPalette::Active, roleOf(app::color::systemColorIndex(color)));
    return QColor(app::color::red(color), app::color::green(color), app::color::blue(color));
}

std::optional<QColor> colorOfText(const QString &text)
{
    const auto number = app::color::parseColorText(text);
    if (!number)
        return std::nullopt;
    return toQColor(*number);
}

void setBackgroundColor(QWidget *widget, const QColor &color)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QColor backgroundColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

void setFontColor(QWidget *widget, const QColor &color)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, color);
    widget->setPalette(palette);
}

QColor fontColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}

void setListColor(QListWidget *list, const QColor &color)
{
    if (!list)
        return;
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, color);
    list->setPalette(palette);
}

QColor listColor(const QListWidget *list)
{
    return list->palette().color(QPalette::Base);
}

} // namespace vespira::gui
