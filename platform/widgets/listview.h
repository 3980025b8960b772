#pragma once

#include "platform/listmodel.h"

#include <QTreeView>

namespace kuranote {

// The checked report list: ten columns, one check box per row, rows kept ascending by sortKey().
// Its events carry what the main window handles: a check box the user asks to turn over (the list
// itself changes no tick), a column title clicked, a character key, a double-click. The keys that
// move in the list select the row they land on, and after a refill no row is current, so that Down
// selects the first row.
class ListView final : public QTreeView
{
    Q_OBJECT

public:
    // The list shows rows kept by its owner, who keeps them for as long as the list lives.
    explicit ListView(ReportListModel& rows, QWidget* parent = nullptr);

    ReportListModel& items() { return m_model; }
    const ReportListModel& items() const { return m_model; }

    void setColumnWidths(const std::vector<double>& widthsInTwips);
    QString columnTitle(int column) const;
    double columnWidth(int column) const;

    // The row that holds the selection, or -1.
    int selectedRow() const;

    int sortKey() const { return m_model.sortKey(); }
    void setSortKey(int column) { m_model.setSortKey(column); }

Q_SIGNALS:
    void itemCheck(int row);
    void columnClick(int column);
    void keyPress(int keyCode);
    void dblClick();

protected:
    void focusInEvent(QFocusEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ReportListModel& m_model;
};

} // namespace kuranote
