#pragma once

#include "platform/columnorder.h"
#include "platform/listmodel.h"

#include <QList>
#include <QStringList>

#include <array>
#include <atomic>
#include <vector>

// Records 1 to texts.size(): column 0 holds the record's text; column 1 holds a text a test may change; every
// other column holds the record number; each record keeps its tick, which a test changes. Counts the texts asked for
// per column.
class FakeRows final : public kuranote::ListRowSource
{
public:
    explicit FakeRows(QStringList texts)
        : names(std::move(texts))
        , changing(names)
        , ticks(size_t(names.size()) + 1, false)
    {
    }

    int lastRecord() const override { return int(names.size()); }
    bool isChecked(int record) const override { return ticks[size_t(record)]; }

    QString cellText(int record, int column) const override
    {
        ++m_calls[size_t(column)];
        if (column == 0)
            return names[record - 1];
        if (column == 1)
            return changing[record - 1];
        return QString::number(record);
    }

    int calls(int column) const { return m_calls[size_t(column)]; }

    QStringList names;
    QStringList changing;
    std::vector<bool> ticks; // by record

private:
    // Texts may be asked for from several threads at once.
    mutable std::array<std::atomic<int>, kuranote::ColumnOrders::ColumnCount> m_calls {};
};

inline const QStringList tenTitles { QStringLiteral("Item"), QStringLiteral("2"), QStringLiteral("3"),
    QStringLiteral("4"), QStringLiteral("Set1"), QStringLiteral("Set2"), QStringLiteral("Char"), QStringLiteral("Sell"),
    QStringLiteral("etc"), QStringLiteral("No,") };

inline std::vector<int> rowsOf(const QList<int>& records)
{
    return std::vector<int>(records.begin(), records.end());
}

inline QList<int> recordsOf(const kuranote::ReportListModel& model)
{
    QList<int> records;
    for (int row = 0; row < model.rowCount(); ++row)
        records << model.record(row);
    return records;
}
