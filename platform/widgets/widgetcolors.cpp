#include "widgetcolors.h"

#include <QAbstractButton>

namespace kuranote {

QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF));
}

quint32 bgrFromColor(const QColor& color)
{
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

void setBackColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    const bool isButton = qobject_cast<QAbstractButton*>(widget) != nullptr;
    palette.setColor(isButton ? QPalette::Button : QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(!isButton);
}

QColor backColor(const QWidget* widget)
{
    const bool isButton = qobject_cast<const QAbstractButton*>(widget) != nullptr;
    return widget->palette().color(isButton ? QPalette::Button : QPalette::Window);
}

void setForeColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace kuranote
