#include "core/app/colortext.h"

#include "core/common/text.h"

#include <array>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace vespira::app::color {

namespace {

struct NamedColor
{
    const char16_t *name;
    ColorNumber number;
};

constexpr ColorNumber sys(SystemColor c)
{
    return systemColor(c);
}

// The toolkit's colour names. Where two names share a number the first one is written.
constexpr std::array<NamedColor, 52> namedColors {{
    {u"clBlack", 0x000000},
    {u"clMaroon", 0x000080},
    {u"clGreen", 0x008000},
    {u"clOlive", 0x008080},
    {u"clNavy", 0x800000},
    {u"clPurple", 0x800080},
    {u"clTeal", 0x808000},
    {u"clGray", 0x808080},
    {u"clSilver", 0xC0C0C0},
    {u"clRed", 0x0000FF},
    {u"clLime", 0x00FF00},
    {u"clYellow", 0x00FFFF},
    {u"clBlue", 0xFF0000},
    {u"clFuchsia", 0xFF00FF},
    {u"clAqua", 0xFFFF00},
    {u"clWhite", 0xFFFFFF},
    {u"clMoneyGreen", 0xC0DCC0},
    {u"clSkyBlue", 0xF0CAA6},
    {u"clCream", 0xF0FBFF},
    {u"clMedGray", 0xA4A0A0},
    {u"clLtGray", 0xC0C0C0},
    {u"clDkGray", 0x808080},
    {u"clScrollBar", sys(SystemColor::ScrollBar)},
    {u"clBackground", sys(SystemColor::Background)},
    {u"clActiveCaption", sys(SystemColor::ActiveCaption)},
    {u"clInactiveCaption", sys(SystemColor::InactiveCaption)},
    {u"clMenu", sys(SystemColor::Menu)},
    {u"clWindow", sys(SystemColor::Window)},
    {u"clWindowFrame", sys(SystemColor::WindowFrame)},
    {u"clMenuText", sys(SystemColor::MenuText)},
    {u"clWindowText", sys(SystemColor::WindowText)},
    {u"clCaptionText", sys(SystemColor::CaptionText)},
    {u"clActiveBorder", sys(SystemColor::ActiveBorder)},
    {u"clInactiveBorder", sys(SystemColor::InactiveBorder)},
    {u"clAppWorkSpace", sys(SystemColor::AppWorkSpace)},
    {u"clHighlight", sys(SystemColor::Highlight)},
    {u"clHighlightText", sys(SystemColor::HighlightText)},
    {u"clBtnFace", sys(SystemColor::BtnFace)},
    {u"clBtnShadow", sys(SystemColor::BtnShadow)},
    {u"clGrayText", sys(SystemColor::GrayText)},
    {u"clBtnText", sys(SystemColor::BtnText)},
    {u"clInactiveCaptionText", sys(SystemColor::InactiveCaptionText)},
    {u"clBtnHighlight", sys(SystemColor::BtnHighlight)},
    {u"cl3DDkShadow", sys(SystemColor::DkShadow3D)},
    {u"cl3DLight", sys(SystemColor::Light3D)},
    {u"clInfoText", sys(SystemColor::InfoText)},
    {u"clInfoBk", sys(SystemColor::InfoBk)},
    {u"clHotLight", sys(SystemColor::HotLight)},
    {u"clGradientActiveCaption", sys(SystemColor::GradientActiveCaption)},
    {u"clGradientInactiveCaption", sys(SystemColor::GradientInactiveCaption)},
    {u"clMenuHighlight", sys(SystemColor::MenuHighlight)},
    {u"clMenuBar", sys(SystemColor::MenuBar)},
}};

bool isKnownSystemIndex(quint32 index)
{
    return index <= 30 && index != 25;
}

bool isValidNumber(qint64 n)
{
    if (n >= 0 && n <= 0xFFFFFF)
        return true;
    if (n < std::numeric_limits<qint32>::min() || n >= 0)
        return false;
    const auto u = static_cast<quint32>(static_cast<qint32>(n));
    return (u & 0xFFFFFF00u) == 0xFF000000u && isKnownSystemIndex(u & 0xFF);
}

} // namespace

std::optional<ColorNumber> parseColorText(const QString &text)
{
    const QString t = text::trimControl(text);
    if (t.isEmpty())
        return std::nullopt;
    for (const NamedColor &c : namedColors) {
        if (t.compare(QString::fromUtf16(c.name), Qt::CaseInsensitive) == 0)
            return c.number;
    }
    bool ok = false;
    qint64 n = 0;
    if (t.startsWith(u'$')) {
        const QString hex = t.mid(1);
        if (hex.isEmpty() || hex.size() > 8 || hex.startsWith(u'-') || hex.startsWith(u'+'))
            return std::nullopt;
        n = static_cast<qint64>(hex.toUInt(&ok, 16));
    } else {
        n = t.toLongLong(&ok, 10);
    }
    if (!ok)
        return std::nullopt;
    // A system colour may come as its unsigned 32-bit number; keep it as the signed one.
    if (n > 0x7FFFFFFF && n <= 0xFFFFFFFF)
        n = static_cast<qint32>(static_cast<quint32>(n));
    if (!isValidNumber(n))
        return std::nullopt;
    return static_cast<ColorNumber>(n);
}

QString formatColorText(ColorNumber color)
{
    for (const NamedColor &c : namedColors) {
        if (c.number == color)
            return QString::fromUtf16(c.name);
    }
    return u"$"_s + QString::number(static_cast<quint32>(color), 16).toUpper().rightJustified(8, u'0');
}

bool isSystemColor(ColorNumber color)
{
    return (static_cast<quint32>(color) & 0xFF000000u) == 0xFF000000u;
}

SystemColor systemColorIndex(ColorNumber color)
{
    return static_cast<SystemColor>(static_cast<quint32>(color) & 0xFF);
}

} // namespace vespira::app::color
