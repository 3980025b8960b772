#include "twips.h"

#include <QWidget>

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

namespace {

QSize frameMargins(const QWidget* window)
{
    // Before the window manager has framed the window both geometries agree, and the margin is 0.
    return window->frameGeometry().size() - window->geometry().size();
}

} // namespace

QSizeF Twips::outerSize(const QWidget* window)
{
    const QSize outer = window->size() + frameMargins(window);
    return QSizeF(fromPixels(outer.width()), fromPixels(outer.height()));
}

void Twips::setOuterSize(QWidget* window, double width, double height)
{
    const QSize margins = frameMargins(window);
    window->resize(toPixels(width) - margins.width(), toPixels(height) - margins.height());
}

} // namespace kuranote
