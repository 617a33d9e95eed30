#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace vespira::gui {

// The pictures of the main window, drawn in code so every build and test has them.

// Image2: the 24 x 21 glyph of a database entry on a pure red background, which the list
// draws transparent.
QImage databaseGlyphImage();
// A copy of the image whose pure red pixels (255, 0, 0) are fully transparent.
QPixmap withRedTransparent(const QImage &image);

// Image1: the logo, on the grey $BBBBBB it leaves transparent on other backgrounds.
QImage logoImage();
// A copy of the image whose pixels of the colour are fully transparent.
QPixmap withColorTransparent(const QImage &image, QRgb color);

QIcon settingsIcon();
QIcon searchIcon();

} // namespace vespira::gui
