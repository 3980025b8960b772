#include "itemrowsource.h"

#include "checklistdocument.h"
#include "itemdata/itemtable.h"
#include "listcolumn.h"
#include "platform/numberformat.h"

namespace kuranote {

OtherVillagers otherVillagers(int curvillager)
{
    OtherVillagers others {};
    int next = 0;
    for (int villager = 1; villager <= villagerCount; ++villager) {
        if (villager != curvillager)
            others[size_t(next++)] = villager;
    }
    return others;
}

ItemRowSource::ItemRowSource(ChecklistDocument& document)
    : m_document(document)
{
}

int ItemRowSource::lastRecord() const
{
    return m_document.items().count();
}

QString ItemRowSource::cellText(int record, int column) const
{
    const ItemTable& items = m_document.items();
    switch (ListColumn(column)) {
    case ListColumn::Item:
        return items.text(record, ItemTable::Name).toString();
    case ListColumn::OtherVillager1:
    case ListColumn::OtherVillager2:
    case ListColumn::OtherVillager3: {
        const int other = otherVillagers(m_document.curvillager())[size_t(column - int(ListColumn::OtherVillager1))];
        return QString::number(items.flag(record, other));
    }
    case ListColumn::Set1:
        return items.text(record, ItemTable::Set1).toString();
    case ListColumn::Set2:
        return items.text(record, ItemTable::Set2).toString();
    case ListColumn::Char:
        return items.text(record, ItemTable::Char).toString();
    case ListColumn::Sell:
        return items.text(record, ItemTable::Sell).toString();
    case ListColumn::Etc:
        return items.text(record, ItemTable::Etc).toString();
    case ListColumn::Number:
        return formatItemNumber(record - 1);
    default:
        return {};
    }
}

bool ItemRowSource::isChecked(int record) const
{
    return m_document.items().flag(record, m_document.curvillager()) != 0;
}

} // namespace kuranote
