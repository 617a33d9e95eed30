#pragma once

#include "core/output/browserdetect.h"

#include <QIcon>
#include <QPixmap>

namespace vespira::gui {

inline constexpr int BrowserIconSize = 32;

// The picture of a browser in the settings dialog. entryIcon is the Icon= of the desktop entry
// the browser was found by (a theme name or an absolute file); when it is empty or names no
// picture the desktop has, the browser's usual theme names are tried, a generic web-browser
// icon for "standard", and last a drawn badge.
QIcon browserIcon(output::BrowserChoice choice, const QString &entryIcon = {});

// The empty placeholder picture (leer_Image).
QPixmap emptyBrowserPixmap();

} // namespace vespira::gui
