#include "listview.h"

#include "platform/twips.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>
#include <array>

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

void ListView::focusInEvent(QFocusEvent* event)
{
    // Qt makes the first row current, but not selected, when the list takes the focus without a
    // current row: Home would then change nothing and Down would select the second row.
    const bool hadCurrentRow = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!hadCurrentRow)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

QModelIndex ListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Without a current row Qt lands every key on the first row; End belongs on the last.
    if (action == MoveEnd && !currentIndex().isValid() && m_model.rowCount() > 0)
        return m_model.index(m_model.rowCount() - 1, 0);
    return QTreeView::moveCursor(action, modifiers);
}

namespace {

bool movesInTheList(const QKeyEvent* event)
{
    static constexpr std::array keys { Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp,
        Qt::Key_PageDown };
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    return plain && std::find(keys.begin(), keys.end(), event->key()) != keys.end();
}

} // namespace

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
    // Qt selects only a row it moved to; a key that stays on the current row selects it too.
    const QModelIndex current = currentIndex();
    if (movesInTheList(event) && current.isValid() && !selectionModel()->isRowSelected(current.row()))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

} // namespace kuranote
