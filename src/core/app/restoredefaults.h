#pragma once

#include "core/app/appstate.h"
#include "core/app/settings.h"

namespace vespira::app {

// The look and the sizes "Standard wieder herstellen" brings back, for the windows to apply.
struct RestoredDefaults
{
    int mainWidth = 700;
    int mainHeight = 420;
    int searchWidth = 900;
    int searchHeight = 500;
    int viewerFontSize = 10;
};

// Writes the default colours, viewer font size and window sizes (Farbe, SchriftsizeTextViewer,
// Hoehe, Weite, SHoehe, SWeite, HinweistextFarbe, in that order) and makes clHighlight and
// clWhite the current colour texts. The search window's width follows the screen as at a
// first start.
RestoredDefaults restoreDefaults(Settings &settings, AppState &state, int screenWidth);

} // namespace vespira::app
