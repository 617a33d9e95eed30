#pragma once

#include "core/output/browserdetect.h"

#include <QIcon>
#include <QPixmap>

namespace vespira::gui {

inline constexpr int BrowserIconSize = 32;

// The picture of a browser in the settings dialog: the installed browser's themed icon when
// the desktop theme has one, a generic web-browser icon for "standard", otherwise a drawn badge.
QIcon browserIcon(output::BrowserChoice choice);

// The empty placeholder picture (leer_Image).
QPixmap emptyBrowserPixmap();

} // namespace vespira::gui
