#include "twips.h"

#include <QEvent>
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

// A window has no frame until it shows, so an outer size set before then is set again when it
// shows: otherwise the frame would be added on top and the window would grow with every start.
class OuterSizeOnShow final : public QObject
{
    Q_OBJECT

public:
    explicit OuterSizeOnShow(QWidget* window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

    void setSize(QSizeF size) { m_size = size; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            window->removeEventFilter(this);
            setParent(nullptr);
            deleteLater();
            Twips::setOuterSize(window, m_size.width(), m_size.height());
        }
        return false;
    }

private:
    QSizeF m_size;
};

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
    if (window->isVisible())
        return;
    auto* onShow = window->findChild<OuterSizeOnShow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!onShow)
        onShow = new OuterSizeOnShow(window);
    onShow->setSize(QSizeF(width, height));
}

} // namespace kuranote

#include "twips.moc"
