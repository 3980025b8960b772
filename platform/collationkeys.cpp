#include "collationkeys.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>

namespace kuranote {
namespace {

struct Key
{
    quint64 prefix; // the key's first eight bytes, most significant first
    quint32 offset; // where the whole key starts in the key buffer
    qint32 item;
};

struct KeyBlock
{
    std::vector<Key> keys;
    std::vector<char> bytes;
};

void buildKeys(int first, int last, const std::function<QString(int)>& textOf, KeyBlock* block)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCollator, decltype(&ucol_close)> collator(ucol_open("ja", &status), &ucol_close);
    block->keys.reserve(size_t(last - first));
    block->bytes.reserve(size_t(last - first) * 32);
    std::vector<uint8_t> key(256);
    for (int item = first; item < last; ++item) {
        const QString text = textOf(item);
        const auto* units = reinterpret_cast<const UChar*>(text.utf16());
        int length = ucol_getSortKey(collator.get(), units, int(text.size()), key.data(), int(key.size()));
        if (length > int(key.size())) {
            key.resize(size_t(length));
            length = ucol_getSortKey(collator.get(), units, int(text.size()), key.data(), int(key.size()));
        }
        // The key ends with a zero byte; padding with zeros keeps short keys comparable by prefix.
        quint64 prefix = 0;
        for (int i = 0; i < 8; ++i)
            prefix = prefix << 8 | (i < length ? key[size_t(i)] : 0);
        block->keys.push_back({ prefix, quint32(block->bytes.size()), item });
        block->bytes.insert(block->bytes.end(), key.begin(), key.begin() + length);
    }
}

} // namespace

std::vector<int> collationOrder(int count, const std::function<QString(int)>& textOf)
{
    // ICU collators are not shared between threads: each half of the items gets its own.
    const int threads = count >= 20000 ? 2 : 1;
    std::vector<KeyBlock> blocks(static_cast<size_t>(threads));
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(
            buildKeys, count * t / threads, count * (t + 1) / threads, std::cref(textOf), &blocks[size_t(t)]);
    buildKeys(0, count / threads, textOf, &blocks[0]);
    for (std::thread& worker : workers)
        worker.join();

    std::vector<Key> keys;
    std::vector<char> bytes;
    keys.reserve(size_t(count));
    for (const KeyBlock& block : blocks) {
        const auto base = quint32(bytes.size());
        for (Key key : block.keys) {
            key.offset += base;
            keys.push_back(key);
        }
        bytes.insert(bytes.end(), block.bytes.begin(), block.bytes.end());
    }
    blocks.clear();

    std::sort(keys.begin(), keys.end(), [&bytes](const Key& a, const Key& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        // Equal prefixes that hold the terminating zero are equal keys.
        if ((a.prefix & 0xFF) != 0) {
            const int byBytes = std::strcmp(bytes.data() + a.offset + 8, bytes.data() + b.offset + 8);
            if (byBytes != 0)
                return byBytes < 0;
        }
        return a.item < b.item;
    });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const Key& key : keys)
        order.push_back(key.item);
    return order;
}

} // namespace kuranote
