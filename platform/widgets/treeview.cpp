#include "treeview.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace kuranote {

TreeView::TreeView(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QTreeWidgetItem* TreeView::selectedItem() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TreeView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT click();
}

void TreeView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        Q_EMIT keyPress(13);
    else if (!event->text().isEmpty())
        Q_EMIT keyPress(event->text().at(0).unicode());
    QTreeWidget::keyPressEvent(event);
}

} // namespace kuranote
