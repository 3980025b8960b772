#include "cataloguemerge.h"

#include <QHash>
#include <QHashSeed>

#include <algorithm>
#include <deque>

namespace kuranote {
namespace {

// The names of a catalogue's records as they are compared, double quotes removed. Names that hold none,
// nearly all, are looked at where the table keeps them; the few others are kept here without them.
class ComparableNames final
{
public:
    explicit ComparableNames(const ItemTable& table)
    {
        m_names.reserve(size_t(table.count()));
        for (int record = 1; record <= table.count(); ++record) {
            const QStringView name = table.text(record, ItemTable::Name);
            if (!name.contains(u'"')) {
                m_names.push_back(name);
                continue;
            }
            m_stripped.push_back(name.toString().remove(u'"'));
            m_names.push_back(m_stripped.back());
        }
    }

    QStringView operator[](int record) const { return m_names[size_t(record - 1)]; }

private:
    std::deque<QString> m_stripped; // a deque, so that the views into its texts stay valid as it grows
    std::vector<QStringView> m_names;
};

struct FullKey
{
    QStringView name;
    QStringView set1;
    QStringView set2;

    friend bool operator==(const FullKey& a, const FullKey& b)
    {
        return a.name == b.name && a.set1 == b.set1 && a.set2 == b.set2;
    }
    friend size_t qHash(const FullKey& key, size_t seed = 0) { return qHashMulti(seed, key.name, key.set1, key.set2); }
};

// One pass of the pairing: each record of the newer catalogue still without a partner takes the first
// current record of the same key that no record took yet. The current records of a key wait in a chain in
// file order; an open-addressing table over record numbers finds a key's chain by the key's first record,
// so that a pass costs about one look-up a record, however often a key repeats, and allocates nothing per
// record.
template <typename Key, typename CurrentKey, typename NewerKey>
void pairByKey(
    int currentCount, CurrentKey currentKey, NewerKey newerKey, std::vector<int>* partners, std::vector<bool>* taken)
{
    size_t slotCount = 2;
    while (slotCount < 2 * size_t(currentCount))
        slotCount *= 2;
    const size_t mask = slotCount - 1;
    const size_t seed = QHashSeed::globalSeed();
    // A key's first record, 0 for an empty slot, beside bits of the key's hash that spare most comparisons of
    // keys that only share a slot. An empty slot that a look-up ends at takes the key's bits, ready for its record.
    struct Slot
    {
        quint32 tag;
        int first;
    };
    std::vector<Slot> slots(slotCount, Slot { 0, 0 });
    // By a key's first record: its first and last records still waiting. By any record: the next of its key,
    // and the key's first record (0 for a record taken before this pass).
    std::vector<int> firstWaiting(size_t(currentCount) + 1, 0);
    std::vector<int> keyFirst(size_t(currentCount) + 1, 0);
    std::vector<int> lastWaiting(size_t(currentCount) + 1, 0);
    std::vector<int> nextWaiting(size_t(currentCount) + 1, 0);
    const auto slotOf = [&](const Key& key) -> Slot& {
        const size_t hash = qHash(key, seed);
        const quint32 tag = quint32(quint64(hash) >> 32) ^ quint32(hash);
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots[i];
            if (slot.first == 0) {
                slot.tag = tag;
                return slot;
            }
            if (slot.tag == tag && currentKey(slot.first) == key)
                return slot;
        }
    };

    for (int record = 1; record <= currentCount; ++record) {
        if ((*taken)[size_t(record)])
            continue;
        Slot& slot = slotOf(currentKey(record));
        if (slot.first == 0) {
            slot.first = record;
            firstWaiting[size_t(record)] = record;
        } else {
            nextWaiting[size_t(lastWaiting[size_t(slot.first)])] = record;
        }
        lastWaiting[size_t(slot.first)] = record;
        keyFirst[size_t(record)] = slot.first;
    }
    // A newer catalogue mostly keeps the order: the record after the last one taken is tried first, which
    // spares the look-up in the table, a read from a random place in memory.
    int guess = 1;
    for (int record = 1; record <= int(partners->size()); ++record) {
        int& partner = (*partners)[size_t(record - 1)];
        if (partner != 0)
            continue;
        const Key key = newerKey(record);
        const int guessedFirst = guess <= currentCount ? keyFirst[size_t(guess)] : 0;
        const bool guessed
            = guessedFirst != 0 && firstWaiting[size_t(guessedFirst)] == guess && currentKey(guess) == key;
        const int first = guessed ? guessedFirst : slotOf(key).first;
        if (first == 0 || firstWaiting[size_t(first)] == 0)
            continue;
        partner = firstWaiting[size_t(first)];
        (*taken)[size_t(partner)] = true;
        firstWaiting[size_t(first)] = nextWaiting[size_t(partner)];
        guess = partner + 1;
    }
}

// Between the two passes: each current record left over whose key the newer catalogue holds joins the last newer
// record of that key. Pass one paired that one, since the newer catalogue holds the key fewer times than the current
// one does, or the record would not be left over.
template <typename CurrentKey, typename NewerKey>
void joinLeftovers(int currentCount, int newerCount, CurrentKey currentKey, NewerKey newerKey, std::vector<bool>* taken,
    std::vector<Pairing::Join>* joins)
{
    // The keys of the records left over, few as a rule, with the last newer record of each.
    QHash<FullKey, int> lastNewer;
    for (int record = 1; record <= currentCount; ++record) {
        if (!(*taken)[size_t(record)])
            lastNewer.insert(currentKey(record), 0);
    }
    if (lastNewer.isEmpty())
        return;
    for (int record = 1; record <= newerCount; ++record) {
        if (const auto found = lastNewer.find(newerKey(record)); found != lastNewer.end())
            *found = record;
    }
    for (int record = 1; record <= currentCount; ++record) {
        if ((*taken)[size_t(record)])
            continue;
        if (const int newer = lastNewer.value(currentKey(record)); newer != 0) {
            joins->push_back({ record, newer });
            (*taken)[size_t(record)] = true;
        }
    }
}

} // namespace

bool hasTick(const ItemTable& table, int record)
{
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager) {
        if (table.flag(record, villager) != 0)
            return true;
    }
    return false;
}

Pairing pairRecords(const ItemTable& current, const ItemTable& newer)
{
    const ComparableNames currentNames(current);
    const ComparableNames newerNames(newer);
    Pairing pairing;
    pairing.partners.assign(size_t(newer.count()), 0);
    std::vector<bool> taken(size_t(current.count()) + 1, false);
    const auto fullKey = [](const ItemTable& table, const ComparableNames& names, int record) {
        const std::array<QStringView, ItemTable::FieldCount> texts = table.texts(record);
        return FullKey { names[record], texts[ItemTable::Set1], texts[ItemTable::Set2] };
    };
    const auto currentFullKey = [&](int record) { return fullKey(current, currentNames, record); };
    const auto newerFullKey = [&](int record) { return fullKey(newer, newerNames, record); };
    pairByKey<FullKey>(current.count(), currentFullKey, newerFullKey, &pairing.partners, &taken);
    joinLeftovers(current.count(), newer.count(), currentFullKey, newerFullKey, &taken, &pairing.joins);
    if (std::find(pairing.partners.begin(), pairing.partners.end(), 0) != pairing.partners.end()) {
        pairByKey<QStringView>(
            current.count(), [&](int record) { return currentNames[record]; },
            [&](int record) { return newerNames[record]; }, &pairing.partners, &taken);
    }
    for (int record = 1; record <= current.count(); ++record) {
        if (!taken[size_t(record)])
            pairing.lost.push_back(record);
    }
    return pairing;
}

void takeTicks(const ItemTable& current, const Pairing& pairing, ItemTable* newer)
{
    for (int record = 1; record <= newer->count(); ++record) {
        const int partner = pairing.partners[size_t(record - 1)];
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            newer->setFlag(record, villager, partner == 0 ? 0 : current.flag(partner, villager));
    }
    for (const Pairing::Join& join : pairing.joins) {
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager) {
            newer->setFlag(join.newer, villager,
                std::max(newer->flag(join.newer, villager), current.flag(join.current, villager)));
        }
    }
}

} // namespace kuranote
