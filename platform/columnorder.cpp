#include "columnorder.h"

#include "collationkeys.h"

namespace kuranote {

const std::vector<int>& ColumnOrders::order(const ListRowSource& source, int column)
{
    std::optional<std::vector<int>>& kept = m_orders[size_t(column)];
    if (!kept) {
        kept = collationOrder(source.lastRecord(), [&](int item) { return source.cellText(item + 1, column); });
        for (int& record : *kept)
            ++record;
    }
    return *kept;
}

void ColumnOrders::forget(int column)
{
    m_orders[size_t(column)].reset();
}

} // namespace kuranote
