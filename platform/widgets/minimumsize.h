#pragma once

#include <QSizeF>

class QWidget;

namespace kuranote {

// The windows enforce their minimum size after the fact: the frame can be dragged smaller and the
// window springs back. Returns the outer size in twips that the window has from then on.
QSizeF springBackToMinimum(QWidget* window, double minimumWidth, double minimumHeight);

} // namespace kuranote
