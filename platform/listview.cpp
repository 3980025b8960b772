#include "listview.h"

#include "twips.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace kuranote {

ListView::ListView(ReportListModel& rows, QWidget* parent)
    : QTreeView(parent)
    , m_model(rows)
{
    setModel(&m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    // The stored widths come back as they were, however narrow: the style's minimum would widen them.
    header()->setMinimumSectionSize(0);
    connect(&m_model, &ReportListModel::itemCheck, this, &ListView::itemCheck);
    connect(header(), &QHeaderView::sectionClicked, this, &ListView::columnClick);
}

void ListView::setColumnWidths(const std::vector<double>& widthsInTwips)
{
    for (int column = 0; column < int(widthsInTwips.size()); ++column)
        header()->resizeSection(column, Twips::toPixels(widthsInTwips[size_t(column)]));
}

QString ListView::columnTitle(int column) const
{
    return m_model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

double ListView::columnWidth(int column) const
{
    return Twips::fromPixels(header()->sectionSize(column));
}

int ListView::selectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    const bool isEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isEnter)
        Q_EMIT keyPress(13);
    else if (!event->text().isEmpty())
        Q_EMIT keyPress(event->text().at(0).unicode());

    // Space ticks the selected row wherever the focus sits in it, not only on the check box column.
    const int row = selectedRow();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && row >= 0) {
        m_model.setData(
            m_model.index(row, 0), m_model.isChecked(row) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        return;
    }
    if (isEnter)
        return; // the main window's Enter handling is the only meaning of Enter here
    QTreeView::keyPressEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

} // namespace kuranote
