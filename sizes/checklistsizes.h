#pragma once

namespace kuranote {

// The villagers of one village, numbered 1 to villagerCount. Arrays indexed by villager keep an unused
// slot 0, as the settings file's layout has it.
constexpr int villagerCount = 4;

// The main list's columns: the item name, the three other villagers' flags, five texts and the item
// number. The settings file keeps one width for each.
constexpr int listColumnCount = 10;

} // namespace kuranote
