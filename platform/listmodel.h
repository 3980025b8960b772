#pragma once

#include "columnorder.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>
#include <vector>

namespace kuranote {

// The rows of the report list: records with a check box, kept ascending by the sort column. Texts
// and check boxes are the source's, and the list never changes them: a check box turned over through
// the view raises itemCheck() for its row, and whoever owns the records changes the tick and then calls
// checkChanged(). A tick changed by code raises nothing.
class ReportListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ReportListModel(std::unique_ptr<ListRowSource> source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHeaderTexts(const QStringList& titles);
    void setHeaderText(int column, const QString& title);

    // Replaces every row in one reset, in the order of the sort column.
    void setRows(std::vector<int> records);
    int record(int row) const { return m_rows[size_t(row)]; }
    bool isChecked(int row) const { return m_source->isChecked(record(row)); }
    // The row's record has a new tick: the view redraws that one check box.
    void checkChanged(int row);
    QString cellText(int row, int column) const;

    int sortKey() const { return m_sortKey; }
    void setSortKey(int column);
    // The texts of a column changed for every record: its order is computed afresh when next needed.
    void forgetOrder(int column) { m_orders.forget(column); }

Q_SIGNALS:
    // The user asks to turn the row's check box over.
    void itemCheck(int row);

private:
    void sortRows();

    std::unique_ptr<ListRowSource> m_source;
    ColumnOrders m_orders;
    QStringList m_headers;
    std::vector<int> m_rows; // records
    int m_sortKey = 0;
};

} // namespace kuranote
