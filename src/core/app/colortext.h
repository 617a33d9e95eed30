#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace vespira::app::color {

// Colours are stored as colour texts: a toolkit colour name ("clHighlight", "clWhite",
// "clWindow", ...), a decimal number or "$00BBGGRR". The number behind a text is a
// ColorNumber: 0x00BBGGRR for a plain colour, 0xFF0000nn for the system colour with
// index nn (its look comes from the desktop's palette, see gui/common/colors.h).
using ColorNumber = qint32;

// System colour indexes, as the toolkit numbers them.
enum class SystemColor : int {
    ScrollBar = 0,
    Background = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkSpace = 12,
    Highlight = 13,
    HighlightText = 14,
    BtnFace = 15,
    BtnShadow = 16,
    GrayText = 17,
    BtnText = 18,
    InactiveCaptionText = 19,
    BtnHighlight = 20,
    DkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBk = 24,
    HotLight = 26,
    GradientActiveCaption = 27,
    GradientInactiveCaption = 28,
    MenuHighlight = 29,
    MenuBar = 30,
};

constexpr ColorNumber systemColor(SystemColor c)
{
    return static_cast<ColorNumber>(0xFF000000u | static_cast<quint32>(c));
}

inline constexpr ColorNumber clHighlight = systemColor(SystemColor::Highlight);
inline constexpr ColorNumber clWindow = systemColor(SystemColor::Window);
inline constexpr ColorNumber clBtnFace = systemColor(SystemColor::BtnFace);
inline constexpr ColorNumber clWhite = 0x00FFFFFF;
inline constexpr ColorNumber clBlack = 0x00000000;
inline constexpr ColorNumber clGray = 0x00808080;

// The number of a colour text; nullopt when the text names no colour (unknown name,
// malformed number, a number outside plain and system colours). Callers treat that
// like a missing value. Names are matched without regard to case; blanks around the
// text are ignored.
std::optional<ColorNumber> parseColorText(const QString &text);

// The text stored for a colour: its name when it has one, else "$00BBGGRR".
QString formatColorText(ColorNumber color);

bool isSystemColor(ColorNumber color);
// The system colour index of a system colour number.
SystemColor systemColorIndex(ColorNumber color);

// A plain colour from its components, and back.
constexpr ColorNumber fromRgb(int red, int green, int blue)
{
    return static_cast<ColorNumber>((blue & 0xFF) << 16 | (green & 0xFF) << 8 | (red & 0xFF));
}
constexpr int red(ColorNumber c) { return c & 0xFF; }
constexpr int green(ColorNumber c) { return (c >> 8) & 0xFF; }
constexpr int blue(ColorNumber c) { return (c >> 16) & 0xFF; }

// A colour component darkened to 93 %, truncated toward zero: the look of a selected
// entry in the database list.
constexpr int darkened(int component)
{
    return component * 93 / 100;
}

} // namespace vespira::app::color
