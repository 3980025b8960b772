#pragma once

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

constexpr int listColumnCount = 10;

} // namespace kuranote
