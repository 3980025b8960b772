#include "cataloguemerge.h"

#include <QHash>

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
// current record of the same key that no record took yet. The current records of each key wait in a
// chain in file order, its head in the hash, so that a pass costs one look-up a record, however often
// a key repeats.
template <typename Key, typename CurrentKey, typename NewerKey>
void pairByKey(int currentCount, CurrentKey currentKey, NewerKey newerKey, Partners* partners, std::vector<bool>* taken)
{
    QHash<Key, int> firstWaiting;
    firstWaiting.reserve(currentCount);
    std::vector<int> nextWaiting(size_t(currentCount) + 1, 0);
    // Backwards, so that each chain ends up in file order.
    for (int record = currentCount; record >= 1; --record) {
        if ((*taken)[size_t(record)])
            continue;
        int& first = firstWaiting[currentKey(record)];
        nextWaiting[size_t(record)] = first;
        first = record;
    }
    for (int record = 1; record <= int(partners->size()); ++record) {
        int& partner = (*partners)[size_t(record - 1)];
        if (partner != 0)
            continue;
        const auto waiting = firstWaiting.find(newerKey(record));
        if (waiting == firstWaiting.end() || *waiting == 0)
            continue;
        partner = *waiting;
        (*taken)[size_t(partner)] = true;
        *waiting = nextWaiting[size_t(partner)];
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
        return FullKey { names[record], table.text(record, ItemTable::Set1), table.text(record, ItemTable::Set2) };
    };
    pairByKey<FullKey>(
        current.count(), [&](int record) { return fullKey(current, currentNames, record); },
        [&](int record) { return fullKey(newer, newerNames, record); }, &partners, &taken);
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
