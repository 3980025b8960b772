#pragma once

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace kuranote {

// One node of the condition tree: its text (also its key) and the index of its root in the same list, or -1 for a root.
struct ConditionWord
{
    QString text;
    int parent;
};

// The nodes in the order they are added: node 0 is always the root "全アイテム", then the file's entries.
// Entries that would break the tree (a repeated text, a child with no root before it, an empty entry) are left out.
std::vector<ConditionWord> conditionWords(QByteArrayView wordFileBytes);

// Reads "kuraword.csv" from the folder; a missing or unreadable file gives only "全アイテム".
std::vector<ConditionWord> loadConditionWords(const QString& folder);

} // namespace kuranote
