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
void pairByKey(int currentCount, CurrentKey currentKey, NewerKey newerKey, Partners* partners, std::vector<bool>* taken)
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

bool hasTick(const ItemTable& table, int record)
{
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager) {
        if (table.flag(record, villager) != 0)
            return true;
    }
    return false;
}

} // namespace

Partners pairRecords(const ItemTable& current, const ItemTable& newer)
{
    const ComparableNames currentNames(current);
    const ComparableNames newerNames(newer);
    Partners partners(size_t(newer.count()), 0);
    std::vector<bool> taken(size_t(current.count()) + 1, false);
    const auto fullKey = [](const ItemTable& table, const ComparableNames& names, int record) {
        const std::array<QStringView, ItemTable::FieldCount> texts = table.texts(record);
        return FullKey { names[record], texts[ItemTable::Set1], texts[ItemTable::Set2] };
    };
    pairByKey<FullKey>(
        current.count(), [&](int record) { return fullKey(current, currentNames, record); },
        [&](int record) { return fullKey(newer, newerNames, record); }, &partners, &taken);
    if (std::find(partners.begin(), partners.end(), 0) == partners.end())
        return partners;
    pairByKey<QStringView>(
        current.count(), [&](int record) { return currentNames[record]; },
        [&](int record) { return newerNames[record]; }, &partners, &taken);
    return partners;
}

void carryOverTicks(const ItemTable& current, const Partners& partners, ItemTable* newer)
{
    for (int record = 1; record <= newer->count(); ++record) {
        const int partner = partners[size_t(record - 1)];
        if (partner == 0)
            continue;
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager) {
            if (const quint8 value = current.flag(partner, villager); value != 0)
                newer->setFlag(record, villager, value);
        }
    }
}

UpdateSummary summarizeUpdate(const ItemTable& current, const ItemTable& newer, const Partners& partners)
{
    UpdateSummary summary;
    std::vector<bool> paired(size_t(current.count()) + 1, false);
    for (int record = 1; record <= newer.count(); ++record) {
        const int partner = partners[size_t(record - 1)];
        paired[size_t(partner)] = partner != 0;
        if (record == 1)
            continue;
        if (partner == 0)
            ++summary.added;
        else if (hasTick(current, partner))
            ++summary.carrying;
    }
    for (int record = 2; record <= current.count(); ++record) {
        if (paired[size_t(record)] || !hasTick(current, record))
            continue;
        if (int(summary.left.size()) == UpdateSummary::listed) {
            ++summary.leftUnlisted;
            continue;
        }
        UpdateSummary::Left left { current.text(record, ItemTable::Name).toString(), {} };
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            left.ticked[size_t(villager - 1)] = current.flag(record, villager) != 0;
        summary.left.push_back(left);
    }
    return summary;
}

QString updateQuestion(const UpdateSummary& summary, const QString& newerPath, const QStringList& villagerNames)
{
    QString text = QStringLiteral("「%1」を新しいカタログにします。\n"
                                  "今のカタログの取得の印は、すべての住人の分を引き継ぎます。\n\n"
                                  "印を引き継ぐアイテム: %2\n"
                                  "新しく加わるアイテム: %3\n")
                       .arg(newerPath)
                       .arg(summary.carrying)
                       .arg(summary.added);
    const int left = int(summary.left.size()) + summary.leftUnlisted;
    if (left == 0) {
        text += QStringLiteral("印のあるアイテムは、すべて新しいカタログにあります。\n");
    } else {
        text += QStringLiteral("\n新しいカタログにない、印のあるアイテム: %1\n").arg(left);
        for (const UpdateSummary::Left& item : summary.left) {
            QStringList who;
            for (int villager = 0; villager < ItemTable::VillagerCount; ++villager) {
                if (item.ticked[size_t(villager)])
                    who.append(villagerNames.value(villager));
            }
            text += QStringLiteral("  %1（%2）\n").arg(item.name, who.join(QStringLiteral("、")));
        }
        if (summary.leftUnlisted > 0)
            text += QStringLiteral("  ほか %1 件\n").arg(summary.leftUnlisted);
        text += QStringLiteral("これらの印は新しいカタログには残りません。\n");
    }
    text += QStringLiteral("\n今のカタログは backup フォルダにコピーしてから書き換えます。よろしいですか？");
    return text;
}

} // namespace kuranote
