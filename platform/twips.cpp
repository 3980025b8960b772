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
// A window manager on X11 frames the window only after it is mapped and then moves it into the
// frame, so the size is set once more when a later move or resize brings the frame.
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
        const QEvent::Type type = event->type();
        const bool firstShow = type == QEvent::Show && !m_shown;
        if (!firstShow && !(m_shown && (type == QEvent::Move || type == QEvent::Resize)))
            return false;
        auto* window = static_cast<QWidget*>(watched);
        const QSize margins = frameMargins(window);
        if (!firstShow && margins == m_marginsApplied)
            return false;
        m_shown = true;
        m_marginsApplied = margins;
        // Without a window manager the frame never comes; watching on then changes nothing.
        if (!margins.isNull()) {
            window->removeEventFilter(this);
            setParent(nullptr);
            deleteLater();
        }
        Twips::setOuterSize(window, m_size.width(), m_size.height());
        return false;
    }

private:
    QSizeF m_size;
    QSize m_marginsApplied;
    bool m_shown = false;
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
