#pragma once

#include "platform/columnorder.h"

#include <array>

namespace kuranote {

class ItemTable;

// The three villagers that are not current, in ascending order: the list's columns 1 to 3.
std::array<int, 3> otherVillagers(int curvillager);

// The main list's cell texts, taken from the catalogue for the current villager. It reads both
// through references into the checklist document that owns it.
class ItemRowSource final : public ListRowSource
{
public:
    ItemRowSource(const ItemTable& items, const quint8& curvillager);

    int lastRecord() const override;
    QString cellText(int record, int column) const override;

private:
    const ItemTable& m_items;
    const quint8& m_curvillager;
};

} // namespace kuranote
