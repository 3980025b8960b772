// Any two catalogues drawn from a small alphabet, so that names and sets repeat: the pairing gives the same ticks to
// the newer catalogue, and loses the same records of the current one, as a plain reading of the rules.
// The input: a byte for the number of current records, then two bytes a record, current records first: the first
// picks the name and the sets, the second the four flags (0 to 3 each).
#include "fuzzcheck.h"

#include "itemdata/cataloguemerge.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

using namespace kuranote;

namespace {

struct Record
{
    QByteArray name; // as the file holds it; "A\"" compares as "A"
    QByteArray set1;
    QByteArray set2;
    std::array<quint8, ItemTable::VillagerCount> flags;

    QByteArray comparedName() const { return QByteArray(name).replace('"', ""); }
    std::tuple<QByteArray, QByteArray, QByteArray> fullKey() const { return { comparedName(), set1, set2 }; }
};

Record recordOf(uchar texts, uchar flags)
{
    static const std::array<QByteArray, 4> names { "A", "B", "C", "A\"" };
    static const std::array<QByteArray, 3> sets { "", "x", "y" };
    Record record { names[texts & 3], sets[(texts >> 2) % 3], sets[(texts >> 4) & 1], {} };
    for (int villager = 0; villager < ItemTable::VillagerCount; ++villager)
        record.flags[size_t(villager)] = quint8((flags >> (2 * villager)) & 3);
    return record;
}

ItemTable tableOf(const std::vector<Record>& records)
{
    ItemTable table;
    for (const Record& record : records) {
        FUZZ_REQUIRE(table.appendRecord({ record.name, record.set1, record.set2, "", "", "", "" }, record.flags));
    }
    return table;
}

// The k-th of each key in one list with the k-th of that key in the other, among the indexes not yet used.
template <typename Key>
void pairKthWithKth(const std::vector<Record>& current, const std::vector<Record>& newer, Key key,
    std::vector<int>* partners, std::vector<bool>* used)
{
    std::map<decltype(key(current[0])), std::pair<std::vector<int>, std::vector<int>>> byKey;
    for (size_t i = 0; i < current.size(); ++i) {
        if (!(*used)[i])
            byKey[key(current[i])].first.push_back(int(i));
    }
    for (size_t j = 0; j < newer.size(); ++j) {
        if ((*partners)[j] < 0)
            byKey[key(newer[j])].second.push_back(int(j));
    }
    for (const auto& [unused, lists] : byKey) {
        for (size_t k = 0; k < std::min(lists.first.size(), lists.second.size()); ++k) {
            (*partners)[size_t(lists.second[k])] = lists.first[k];
            (*used)[size_t(lists.first[k])] = true;
        }
    }
}

// The rules read plainly, indexes from 0: the merged flags of each newer record, and the current records lost.
void referenceMerge(const std::vector<Record>& current, const std::vector<Record>& newer,
    std::vector<std::array<quint8, ItemTable::VillagerCount>>* merged, std::vector<int>* lost)
{
    std::vector<int> partners(newer.size(), -1);
    std::vector<bool> used(current.size(), false);
    pairKthWithKth(
        current, newer, [](const Record& r) { return r.fullKey(); }, &partners, &used);

    // A current record left over whose key the newer file holds joins the newer record paired with the last current
    // record of that key that pass one paired.
    std::vector<std::pair<int, int>> joins;
    for (size_t i = 0; i < current.size(); ++i) {
        if (used[i])
            continue;
        int lastPaired = -1;
        for (size_t c = 0; c < current.size(); ++c) {
            if (used[c] && current[c].fullKey() == current[i].fullKey())
                lastPaired = int(c);
        }
        if (lastPaired < 0)
            continue;
        const auto partnerOf = std::find(partners.begin(), partners.end(), lastPaired);
        FUZZ_REQUIRE(partnerOf != partners.end());
        joins.emplace_back(int(i), int(partnerOf - partners.begin()));
    }
    for (const auto& [joined, unused] : joins)
        used[size_t(joined)] = true;

    pairKthWithKth(
        current, newer, [](const Record& r) { return r.comparedName(); }, &partners, &used);

    merged->assign(newer.size(), {});
    for (size_t j = 0; j < newer.size(); ++j) {
        if (partners[j] >= 0)
            (*merged)[j] = current[size_t(partners[j])].flags;
    }
    for (const auto& [joined, into] : joins) {
        for (size_t v = 0; v < size_t(ItemTable::VillagerCount); ++v)
            (*merged)[size_t(into)][v] = std::max((*merged)[size_t(into)][v], current[size_t(joined)].flags[v]);
    }
    for (size_t i = 0; i < current.size(); ++i) {
        if (!used[i])
            lost->push_back(int(i));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size == 0)
        return 0;
    // Enough records for keys to repeat several times, few enough for the plain reading's quadratic search.
    constexpr size_t maxRecords = 64;
    const size_t currentCount = data[0] % (maxRecords / 2);
    std::vector<Record> current;
    std::vector<Record> newer;
    for (size_t at = 1; at + 1 < size && current.size() + newer.size() < maxRecords; at += 2) {
        (current.size() < currentCount ? current : newer).push_back(recordOf(data[at], data[at + 1]));
    }

    const ItemTable currentTable = tableOf(current);
    ItemTable newerTable = tableOf(newer);
    const Pairing pairing = pairRecords(currentTable, newerTable);
    takeTicks(currentTable, pairing, &newerTable);

    std::vector<std::array<quint8, ItemTable::VillagerCount>> expected;
    std::vector<int> expectedLost;
    referenceMerge(current, newer, &expected, &expectedLost);
    for (int record = 1; record <= newerTable.count(); ++record) {
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            FUZZ_REQUIRE(newerTable.flag(record, villager) == expected[size_t(record - 1)][size_t(villager - 1)]);
    }
    FUZZ_REQUIRE(pairing.lost.size() == expectedLost.size());
    for (size_t i = 0; i < expectedLost.size(); ++i)
        FUZZ_REQUIRE(pairing.lost[i] == expectedLost[i] + 1);
    return 0;
}
