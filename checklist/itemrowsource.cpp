#include "itemrowsource.h"

#include "itemdata/itemtable.h"
#include "listcolumn.h"
#include "platform/numberformat.h"

namespace kuranote {

std::array<int, 3> otherVillagers(int curvillager)
{
    std::array<int, 3> others {};
    int next = 0;
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager) {
        if (villager != curvillager)
            others[size_t(next++)] = villager;
    }
    return others;
}

ItemRowSource::ItemRowSource(const ItemTable& items, const quint8& curvillager)
    : m_items(items)
    , m_curvillager(curvillager)
{
}

int ItemRowSource::lastRecord() const
{
    return m_items.count();
}

QString ItemRowSource::cellText(int record, int column) const
{
    switch (ListColumn(column)) {
    case ListColumn::Item:
        return m_items.text(record, ItemTable::Name).toString();
    case ListColumn::OtherVillager1:
    case ListColumn::OtherVillager2:
    case ListColumn::OtherVillager3: {
        const int other = otherVillagers(m_curvillager)[size_t(column - int(ListColumn::OtherVillager1))];
        return QString::number(m_items.flag(record, other));
    }
    case ListColumn::Set1:
        return m_items.text(record, ItemTable::Set1).toString();
    case ListColumn::Set2:
        return m_items.text(record, ItemTable::Set2).toString();
    case ListColumn::Char:
        return m_items.text(record, ItemTable::Char).toString();
    case ListColumn::Sell:
        return m_items.text(record, ItemTable::Sell).toString();
    case ListColumn::Etc:
        return m_items.text(record, ItemTable::Etc).toString();
    case ListColumn::Number:
        return formatItemNumber(record - 1);
    default:
        return {};
    }
}

} // namespace kuranote
