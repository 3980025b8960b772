// Any bytes as a word file: the tree is always well formed, whatever the file holds.
#include "fuzzcheck.h"

#include "checklist/conditionwords.h"

#include <QSet>

using namespace kuranote;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::vector<ConditionWord> nodes = conditionWords(QByteArrayView(data, qsizetype(size)));
    FUZZ_REQUIRE(!nodes.empty());
    FUZZ_REQUIRE(nodes[0].text == QStringLiteral("全アイテム") && nodes[0].parent == -1);
    QSet<QString> texts { nodes[0].text };
    for (size_t i = 1; i < nodes.size(); ++i) {
        const ConditionWord& node = nodes[i];
        FUZZ_REQUIRE(!node.text.isEmpty());
        // Keys of the tree must be unique.
        FUZZ_REQUIRE(!texts.contains(node.text));
        texts.insert(node.text);
        if (node.parent == -1)
            continue;
        // A child hangs under a root of the file that came before it, never under "全アイテム".
        FUZZ_REQUIRE(node.parent > 0 && size_t(node.parent) < i && nodes[size_t(node.parent)].parent == -1);
        FUZZ_REQUIRE(node.text.size() <= 9999);
    }
    return 0;
}
