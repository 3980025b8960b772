#include "itemrowsource.h"

#include "itemdata/itemtable.h"
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
    switch (column) {
    case 0:
        return m_items.text(record, ItemTable::Name).toString();
    case 1:
    case 2:
    case 3:
        return QString::number(m_items.flag(record, otherVillagers(m_curvillager)[size_t(column - 1)]));
    case 4:
        return m_items.text(record, ItemTable::Set1).toString();
    case 5:
        return m_items.text(record, ItemTable::Set2).toString();
    case 6:
        return m_items.text(record, ItemTable::Char).toString();
    case 7:
        return m_items.text(record, ItemTable::Sell).toString();
    case 8:
        return m_items.text(record, ItemTable::Etc).toString();
    case 9:
        return formatItemNumber(record - 1);
    default:
        return {};
    }
}

} // namespace kuranote
