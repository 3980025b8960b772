#include "filedrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace kuranote {

namespace {

bool somethingIsOpen()
{
    return QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

} // namespace

FileDrops::FileDrops(QObject* parent)
    : QObject(parent)
{
}

void FileDrops::watch(QWidget* window)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData()->hasUrls() && !somethingIsOpen())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasUrls() || somethingIsOpen()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // A question or a dialog opened between the drop and now has the say.
        QTimer::singleShot(0, this, [this, urls = drop->mimeData()->urls()] {
            if (!somethingIsOpen())
                Q_EMIT dropped(urls);
        });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace kuranote
