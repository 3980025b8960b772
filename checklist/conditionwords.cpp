#include "conditionwords.h"

#include "checklist/searchconditions.h"
#include "itemdata/cp932.h"
#include "itemdata/fieldreader.h"
#include "itemdata/safesave.h"

#include <QByteArray>
#include <QHash>

namespace kuranote {
namespace {

constexpr QChar ChildMark = u'\\';
constexpr qsizetype MaxChildLength = 9999;

// Builds the node list entry by entry; every text may appear once, as keys of the tree must be unique.
class TreeBuilder final
{
public:
    TreeBuilder() { addNode(allItemsKey, -1); }

    void addEntry(const QString& entry)
    {
        if (entry.isEmpty())
            return;
        if (entry.front() == ChildMark)
            addChild(entry.mid(1, MaxChildLength));
        else
            addRoot(entry);
    }

    std::vector<ConditionWord> take() { return std::move(m_nodes); }

private:
    void addRoot(const QString& text)
    {
        const auto existing = m_indexOf.constFind(text);
        if (existing == m_indexOf.cend()) {
            m_currentRoot = addNode(text, -1);
            return;
        }
        // A root named again gathers the children that follow it under its first appearance, as the file means;
        // a name taken by a child or by "全アイテム" cannot hold children, so they are left out until the next root.
        const int index = existing.value();
        const bool usableRoot = index != 0 && m_nodes[size_t(index)].parent == -1;
        m_currentRoot = usableRoot ? index : -1;
    }

    void addChild(const QString& text)
    {
        if (text.isEmpty() || m_currentRoot < 0 || m_indexOf.contains(text))
            return;
        addNode(text, m_currentRoot);
    }

    int addNode(const QString& text, int parent)
    {
        const int index = int(m_nodes.size());
        m_nodes.push_back(ConditionWord { text, parent });
        m_indexOf.insert(text, index);
        return index;
    }

    std::vector<ConditionWord> m_nodes;
    QHash<QString, int> m_indexOf;
    int m_currentRoot = -1;
};

} // namespace

std::vector<ConditionWord> conditionWords(QByteArrayView wordFileBytes)
{
    TreeBuilder builder;
    FieldReader reader(wordFileBytes);
    while (!reader.atEnd())
        builder.addEntry(Cp932::decode(reader.readField()));
    return builder.take();
}

std::vector<ConditionWord> loadConditionWords(const QString& folder)
{
    QByteArray bytes;
    // Without its word file the tree still offers "全アイテム", so the list can always be filled.
    if (readWholeFile(filePathIn(folder, QStringLiteral("kuraword.csv")), &bytes))
        bytes.clear();
    return conditionWords(bytes);
}

} // namespace kuranote
