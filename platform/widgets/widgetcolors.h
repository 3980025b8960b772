#pragma once

#include <QColor>

class QWidget;

namespace kuranote {

// Colours are stored as 0x00BBGGRR numbers, red in the low byte.
QColor colorFromBgr(quint32 bgr);
quint32 bgrFromColor(const QColor& color);

void setBackColor(QWidget* widget, const QColor& color);
QColor backColor(const QWidget* widget);
void setForeColor(QWidget* widget, const QColor& color);

} // namespace kuranote
