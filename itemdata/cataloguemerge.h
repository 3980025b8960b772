#pragma once

#include "itemtable.h"

#include <array>
#include <vector>

namespace kuranote {

// How the records of a newer catalogue meet those of the current one. Records are numbered from 1, the
// header record included, which takes part like any other.
struct Pairing
{
    struct Join
    {
        int current; // a current record left over
        int newer; // the newer record that takes its ticks as well
    };

    // By the newer catalogue's record number less 1: the current record whose flags it takes, or 0.
    std::vector<int> partners;
    // Current records of a name, Set1 and Set2 the newer catalogue holds fewer times: their ticks join the newer
    // record of that key paired last. In current file order.
    std::vector<Join> joins;
    // Current records that pair in neither way nor join: their items are no longer in the catalogue. In file order.
    std::vector<int> lost;
};

// Pairs the records of a newer catalogue with those of the current one, in two passes, the k-th record of a
// repeated key in one file with the k-th in the other: first by name, Set1 and Set2 together; then, among the
// records left over, by name alone, so that an item whose sets were corrected keeps its ticks. Between the two, a
// current record left over whose name, Set1 and Set2 the newer catalogue holds joins the newer record of that key
// paired last, rather than pairing by name with another item. Names are compared with their double quotes removed,
// exactly, as the old-file conversion compares them.
Pairing pairRecords(const ItemTable& current, const ItemTable& newer);

// Gives each record of the newer catalogue the current catalogue's ticks and no others: a paired record takes its
// partner's four flags as they are, 2 staying 2 and 0 staying 0, and for each record joined to it the larger value
// per villager; a record without a partner gets four zeros. The newer file's own flags are never kept: the items
// are the catalogue's, the ticks the user's.
void takeTicks(const ItemTable& current, const Pairing& pairing, ItemTable* newer);

bool hasTick(const ItemTable& table, int record);

} // namespace kuranote
