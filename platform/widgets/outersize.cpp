#include "outersize.h"

#include "platform/twips.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <optional>

namespace kuranote {

namespace {

// The frame's share of the outer size, or nothing while it is not known: on X11 the window manager
// frames a window only after it is mapped, and while it reparents the window Qt briefly reports
// negative margins. The platform window is asked, since the widget's copy of its margins is
// refreshed only when the window moves or resizes.
std::optional<QSize> knownFrameMargins(const QWidget* window)
{
    const QWindow* platformWindow = window->windowHandle();
    if (!platformWindow)
        return QSize(0, 0);
    const QMargins margins = platformWindow->frameMargins();
    if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0)
        return std::nullopt;
    return QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

// Keeps a window at the outer size last given to it in twips. A window has no frame until it has
// shown and the window manager has framed it, so the inner size set before then is set again when
// the frame comes, as long as nothing else has resized the window. The frame can come without any
// move or resize of the widget (a window placed where it asked to be), but never without an expose
// of its platform window, which is therefore watched too. Until the window is resized otherwise,
// its size reads back in twips as it was given, not rounded to whole pixels.
class OuterSize final : public QObject
{
    Q_OBJECT

public:
    explicit OuterSize(QWidget* window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

    QSize frameMargins() const { return knownFrameMargins(m_window).value_or(m_margins); }

    void set(QSizeF twips)
    {
        m_twips = twips;
        m_pixels = QSize(Twips::toPixels(twips.width()), Twips::toPixels(twips.height()));
        m_margins = frameMargins();
        m_window->resize(m_pixels - m_margins);
    }

    QSizeF get() const
    {
        // Until something else resizes the window it has the size it was given, also while a frame
        // that has just come is still to be counted in.
        if (m_window->size() == m_pixels - m_margins)
            return m_twips;
        const QSize outer = m_window->size() + frameMargins();
        return QSizeF(Twips::fromPixels(outer.width()), Twips::fromPixels(outer.height()));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            if (watched == m_window && m_window->windowHandle() != m_platformWindow) {
                m_platformWindow = m_window->windowHandle();
                m_platformWindow->installEventFilter(this);
            }
            followFrame();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Expose:
            followFrame();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void followFrame()
    {
        // Until the window shows on the screen, the window manager may still be placing it, and a
        // resize would also move it to wherever it is for the moment.
        if (!m_platformWindow || !m_platformWindow->isExposed())
            return;
        const std::optional<QSize> margins = knownFrameMargins(m_window);
        if (!margins || *margins == m_margins)
            return;
        const bool untouched = m_window->size() == m_pixels - m_margins;
        m_margins = *margins;
        if (untouched)
            m_window->resize(m_pixels - m_margins);
    }

    QWidget* const m_window;
    QPointer<QWindow> m_platformWindow;
    QSizeF m_twips;
    QSize m_pixels;
    QSize m_margins { 0, 0 };
};

OuterSize* outerSizeOf(const QWidget* window)
{
    return window->findChild<OuterSize*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

QSizeF Twips::outerSize(const QWidget* window)
{
    if (const OuterSize* kept = outerSizeOf(window))
        return kept->get();
    const QSize outer = window->size() + knownFrameMargins(window).value_or(QSize(0, 0));
    return QSizeF(fromPixels(outer.width()), fromPixels(outer.height()));
}

void Twips::setOuterSize(QWidget* window, double width, double height)
{
    OuterSize* kept = outerSizeOf(window);
    if (!kept)
        kept = new OuterSize(window);
    kept->set(QSizeF(width, height));
}

} // namespace kuranote

#include "outersize.moc"
