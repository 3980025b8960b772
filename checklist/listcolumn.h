#pragma once

#include "sizes/checklistsizes.h"

namespace kuranote {

// The ten columns of the main list, left to right. Columns 1 to 3 show the flags of the three
// villagers that are not current; the last shows the item number.
enum class ListColumn {
    Item,
    OtherVillager1,
    OtherVillager2,
    OtherVillager3,
    Set1,
    Set2,
    Char,
    Sell,
    Etc,
    Number,
};

static_assert(int(ListColumn::Number) + 1 == listColumnCount);
static_assert(int(ListColumn::OtherVillager3) - int(ListColumn::OtherVillager1) + 1 == villagerCount - 1);

} // namespace kuranote
