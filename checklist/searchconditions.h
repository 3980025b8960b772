#pragma once

#include <QString>

namespace kuranote {

// The key that lists every item: the first word of the search window's tree, and its start key.
inline const QString allItemsKey = QStringLiteral("全アイテム");

// Which items the list shows: all, or only those the current villager has not acquired yet.
enum class ShowMode { All, Unacquired };

// The order the search window offers: by name, or by item number.
enum class SortOrder { Name, Number };

} // namespace kuranote
