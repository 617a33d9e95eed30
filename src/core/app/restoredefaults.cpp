#include "core/app/restoredefaults.h"

#include "core/app/colortext.h"
#include "core/app/startup.h"

using namespace Qt::Literals::StringLiterals;

namespace vespira::app {

RestoredDefaults restoreDefaults(Settings &settings, AppState &state, int screenWidth)
{
    RestoredDefaults defaults;
    defaults.searchWidth = defaultWindowWidth(screenWidth);
    const auto write = [&settings](const char16_t *name, const QString &value) {
        settings.write(QString::fromUtf16(name), value);
    };
    state.colorText = color::formatColorText(color::clHighlight);
    write(names::Farbe, state.colorText);
    write(names::SchriftsizeTextViewer, QString::number(defaults.viewerFontSize));
    write(names::Hoehe, QString::number(defaults.mainHeight));
    write(names::Weite, QString::number(defaults.mainWidth));
    write(names::SHoehe, QString::number(defaults.searchHeight));
    write(names::SWeite, QString::number(defaults.searchWidth));
    state.noticeColorText = color::formatColorText(color::clWhite);
    write(names::HinweistextFarbe, state.noticeColorText);
    return defaults;
}

} // namespace vespira::app
