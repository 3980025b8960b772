#pragma once

#include <QSizeF>

class QWidget;

namespace kuranote {
namespace Twips {

// A window's outer size in twips, frame included, as the settings file stores it. A size set reads
// back exactly as set, also where it falls between two pixels, until the window is resized
// otherwise; the frame is counted in once the window manager has framed the window.
QSizeF outerSize(const QWidget* window);
void setOuterSize(QWidget* window, double width, double height);

} // namespace Twips
} // namespace kuranote
