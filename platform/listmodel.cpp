#include "listmodel.h"

namespace kuranote {

ReportListModel::ReportListModel(std::unique_ptr<ListRowSource> source, QObject* parent)
    : QAbstractTableModel(parent)
    , m_source(std::move(source))
{
}

int ReportListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::CheckStateRole && index.column() == 0)
        return isChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ReportListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    const bool checked = value.value<Qt::CheckState>() == Qt::Checked;
    if (checked != isChecked(index.row()))
        Q_EMIT itemCheck(index.row());
    // Whoever answered the request has changed the tick by now, or turned it down.
    return checked == isChecked(index.row());
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_headers.size())
        return m_headers[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ReportListModel::setHeaderTexts(const QStringList& titles)
{
    beginResetModel();
    m_headers = titles;
    endResetModel();
}

void ReportListModel::setHeaderText(int column, const QString& title)
{
    m_headers[column] = title;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void ReportListModel::setRows(std::vector<int> records)
{
    beginResetModel();
    m_rows = std::move(records);
    sortRows();
    endResetModel();
}

void ReportListModel::checkChanged(int row)
{
    const QModelIndex cell = index(row, 0);
    Q_EMIT dataChanged(cell, cell, { Qt::CheckStateRole });
}

QString ReportListModel::cellText(int row, int column) const
{
    return m_source->cellText(record(row), column);
}

void ReportListModel::setSortKey(int column)
{
    m_sortKey = column;
    if (m_rows.empty())
        return;
    // Rows keep their identity across the move, so selections and persistent indexes follow them.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> recordsBefore;
    recordsBefore.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        recordsBefore.push_back(record(index.row()));
    sortRows();
    if (!before.isEmpty()) {
        std::vector<int> rowOfRecord(size_t(m_source->lastRecord()) + 1, -1);
        for (size_t row = 0; row < m_rows.size(); ++row)
            rowOfRecord[size_t(m_rows[row])] = int(row);
        QModelIndexList after;
        for (int i = 0; i < before.size(); ++i)
            after.append(index(rowOfRecord[size_t(recordsBefore[size_t(i)])], before[i].column()));
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportListModel::sortRows()
{
    if (m_rows.size() < 2)
        return;
    // Walking the column's whole order once is linear in the catalogue and needs no comparison.
    const std::vector<int>& order = m_orders.order(*m_source, m_sortKey);
    std::vector<quint8> listed(order.size() + 1, 0);
    for (int record : m_rows)
        listed[size_t(record)] = 1;
    size_t next = 0;
    for (int record : order) {
        if (listed[size_t(record)] != 0)
            m_rows[next++] = record;
    }
    Q_ASSERT(next == m_rows.size());
}

} // namespace kuranote
