#include "columnorder.h"

#include "collationkeys.h"

namespace kuranote {

ColumnOrders::ColumnOrders(const ListRowSource& source)
    : m_source(source)
{
}

const std::vector<int>& ColumnOrders::order(int column)
{
    std::optional<std::vector<int>>& kept = m_orders[size_t(column)];
    if (!kept)
        kept = computeOrder(column);
    return *kept;
}

void ColumnOrders::forget(int column)
{
    m_orders[size_t(column)].reset();
}

std::vector<int> ColumnOrders::computeOrder(int column) const
{
    std::vector<int> records
        = collationOrder(m_source.lastRecord(), [&](int item) { return m_source.cellText(item + 1, column); });
    for (int& record : records)
        ++record;
    return records;
}

} // namespace kuranote
