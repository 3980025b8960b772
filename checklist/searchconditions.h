#pragma once

#include <QString>

namespace kuranote {

// The key that lists every item: the first word of the search window's tree, and its start key.
inline const QString allItemsKey = QStringLiteral("全アイテム");

// Which items the list shows: all, or only those the current villager has not acquired yet.
enum class ShowMode { All, Unacquired };

// The order the search window offers: by name, or by item number.
enum class SortOrder { Name, Number };

// What the list is filled and ordered by, as the search window chose it and shows it.
struct SearchConditions
{
    QString key = allItemsKey; // a wildcard pattern, or allItemsKey for no text filter
    ShowMode showMode = ShowMode::All;
    // The order last chosen in the search window; a column title can sort the list otherwise since.
    SortOrder sortOrder = SortOrder::Name;
};

} // namespace kuranote
