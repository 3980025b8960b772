#include "twips.h"

#include <cmath>

namespace kuranote {

int Twips::toPixels(double twips)
{
    return int(std::lround(twips / perPixel));
}

double Twips::fromPixels(int pixels)
{
    return double(pixels) * perPixel;
}

QRect Twips::rect(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace kuranote
