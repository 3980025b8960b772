#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace kuranote {

// Orders items 0 to count - 1 by their texts as a Japanese reader expects (ICU's Japanese
// collation: kana by reading, hiragana and katakana together), ties in item order. Each text is
// turned into a binary collation key once, so the sort itself only compares bytes.
std::vector<int> collationOrder(int count, const std::function<QString(int)>& textOf);

} // namespace kuranote
