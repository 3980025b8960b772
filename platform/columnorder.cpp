#include "columnorder.h"

#include "collationkeys.h"

namespace kuranote {

ColumnOrders::ColumnOrders(const ListRowSource& source)
    : m_source(source)
{
}

const std::vector<int>& ColumnOrders::order(int column)
{
    if (!m_source.isFixedColumn(column)) {
        m_changing = computeOrder(column);
        return m_changing;
    }
    std::optional<std::vector<int>>& cached = m_fixed[size_t(column)];
    if (!cached)
        cached = computeOrder(column);
    return *cached;
}

void ColumnOrders::clear()
{
    for (auto& cached : m_fixed)
        cached.reset();
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
