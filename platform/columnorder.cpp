#include "columnorder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>

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
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    const int last = m_source.lastRecord();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(std::max(last, 0)));
    for (int record = 1; record <= last; ++record)
        keys.push_back(collator.sortKey(m_source.cellText(record, column)));
    std::vector<int> records(keys.size());
    std::iota(records.begin(), records.end(), 1);
    std::stable_sort(records.begin(), records.end(),
                     [&keys](int a, int b) { return keys[size_t(a - 1)].compare(keys[size_t(b - 1)]) < 0; });
    return records;
}

} // namespace kuranote
