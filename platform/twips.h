#pragma once

#include <QRect>

namespace kuranote {

// Sizes and positions are kept in twips, as the settings file stores them: 15 twips to one
// device-independent pixel.
namespace Twips {

constexpr int perPixel = 15;

int toPixels(double twips);
double fromPixels(int pixels);
QRect rect(double left, double top, double width, double height);

} // namespace Twips
} // namespace kuranote
