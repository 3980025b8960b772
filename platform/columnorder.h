#pragma once

#include "sizes/checklistsizes.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kuranote {

// Where the rows of the report list take their texts and check boxes from: a row refers to a record
// and copies nothing, so that a check box always shows what its record holds. The list only reads:
// the records' owner changes a tick.
class ListRowSource
{
public:
    virtual ~ListRowSource() = default;
    // Rows refer to records 1 to lastRecord().
    virtual int lastRecord() const = 0;
    // Called from several threads at once while a column's order is computed: it must only read.
    virtual QString cellText(int record, int column) const = 0;
    virtual bool isChecked(int record) const = 0;
};

// The records in ascending order of one column's text, as a Japanese reader expects it (kana by
// reading, hiragana and katakana together), ties in record order. A column is ordered when first
// asked for and kept until its texts change, so that a refill of the list never sorts. Every call
// names the rows' source, which must be the same one until the orders are forgotten.
class ColumnOrders final
{
public:
    static constexpr int ColumnCount = listColumnCount;

    const std::vector<int>& order(const ListRowSource& source, int column);
    // Forgets a column's order, for when its texts changed.
    void forget(int column);

private:
    std::array<std::optional<std::vector<int>>, ColumnCount> m_orders;
};

} // namespace kuranote
