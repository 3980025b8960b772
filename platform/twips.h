#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace kuranote {

// Sizes and positions are kept in twips, as the settings file stores them: 15 twips to one
// device-independent pixel.
namespace Twips {

constexpr int perPixel = 15;

int toPixels(double twips);
double fromPixels(int pixels);
QRect rect(double left, double top, double width, double height);

// A window's outer size, frame included, as the settings file stores it. A size set reads back
// exactly as set, also where it falls between two pixels, until the window is resized otherwise;
// the frame is counted in once the window manager has framed the window.
QSizeF outerSize(const QWidget* window);
void setOuterSize(QWidget* window, double width, double height);

} // namespace Twips
} // namespace kuranote
