#pragma once

#include "itemdata/itemtable.h"

#include <QStringList>

#include <array>
#include <vector>

namespace kuranote {

// For each record of a newer catalogue, the record of the current one it takes its ticks from, or 0.
// Indexed by the newer catalogue's record number less 1.
using Partners = std::vector<int>;

// Pairs the records of a newer catalogue with those of the current one: first by name, Set1 and Set2
// together, then, among the records left over, by name alone. Names are compared with their double
// quotes removed, exactly, as the old-file conversion compares them; where a key is repeated, the k-th
// record of that key in one file pairs with the k-th in the other. The header record takes part like
// any other.
Partners pairRecords(const ItemTable& current, const ItemTable& newer);

// Gives each paired record of the newer catalogue every flag of its partner that is not 0, with its
// value; its other flags, and all flags of records without a partner, stay the newer file's. No tick
// is ever cleared.
void carryOverTicks(const ItemTable& current, const Partners& partners, ItemTable* newer);

// What an update will do, for the question before it. Only items count: the header record is paired
// and carried like any other, but no list shows it and nobody ticks it.
struct UpdateSummary
{
    struct Left
    {
        QString name;
        std::array<bool, ItemTable::VillagerCount> ticked;
    };
    static constexpr int listed = 20;

    int carrying = 0; // items of the newer catalogue whose partner has a tick
    int added = 0; // items of the newer catalogue without a partner
    std::vector<Left> left; // the first ticked items of the current catalogue without a partner
    int leftUnlisted = 0; // and how many more there are
};

UpdateSummary summarizeUpdate(const ItemTable& current, const ItemTable& newer, const Partners& partners);

// The question asked before the update is written; villagerNames by villager, 1 to 4 at 0 to 3.
QString updateQuestion(const UpdateSummary& summary, const QString& newerPath, const QStringList& villagerNames);

} // namespace kuranote
