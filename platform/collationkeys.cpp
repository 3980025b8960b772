#include "collationkeys.h"

#include <QtEndian>

#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <thread>

namespace kuranote {
namespace {

// An item's binary collation key: its first sixteen bytes inline, so that most comparisons touch nothing else.
struct Key
{
    std::array<quint64, 2> prefix; // most significant byte first, padded with zeros
    quint32 rest; // where the bytes after the first sixteen start in the half's bytes, when the key is longer
    qint32 item;
};

// The keys of one half of the items, built and sorted by one thread.
struct Half
{
    Key* begin;
    Key* end;
    std::vector<char> rests;

    // Byte order, ties in item order.
    bool less(const Key& a, const Half& bHalf, const Key& b) const
    {
        if (a.prefix[0] != b.prefix[0])
            return a.prefix[0] < b.prefix[0];
        if (a.prefix[1] != b.prefix[1])
            return a.prefix[1] < b.prefix[1];
        // A key ends with its only zero byte: equal prefixes that hold it are equal keys.
        if ((a.prefix[1] & 0xFF) != 0) {
            const int byRest = std::strcmp(rests.data() + a.rest, bHalf.rests.data() + b.rest);
            if (byRest != 0)
                return byRest < 0;
        }
        return a.item < b.item;
    }
};

void buildAndSort(int first, const std::function<QString(int)>& textOf, Half* half)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCollator, decltype(&ucol_close)> collator(ucol_open("ja", &status), &ucol_close);
    half->rests.reserve(size_t(half->end - half->begin) * 8);
    std::vector<uint8_t> key(256);
    int item = first;
    for (Key* slot = half->begin; slot != half->end; ++slot, ++item) {
        const QString text = textOf(item);
        const auto* units = reinterpret_cast<const UChar*>(text.utf16());
        int length = ucol_getSortKey(collator.get(), units, int(text.size()), key.data(), int(key.size()));
        if (length > int(key.size())) {
            key.resize(size_t(length));
            length = ucol_getSortKey(collator.get(), units, int(text.size()), key.data(), int(key.size()));
        }
        std::array<uchar, 16> first {};
        std::memcpy(first.data(), key.data(), size_t(std::min(length, 16)));
        *slot = { { qFromBigEndian<quint64>(first.data()), qFromBigEndian<quint64>(first.data() + 8) },
            quint32(half->rests.size()), item };
        if (length > 16)
            half->rests.insert(half->rests.end(), key.begin() + 16, key.begin() + length);
    }
    std::sort(half->begin, half->end, [half](const Key& a, const Key& b) { return half->less(a, *half, b); });
}

} // namespace

std::vector<int> collationOrder(int count, const std::function<QString(int)>& textOf)
{
    // ICU collators are not shared between threads: each half of the items gets its own, and is sorted on its
    // own thread; one pass then merges the halves.
    const int split = count >= 20000 ? count / 2 : count;
    const std::unique_ptr<Key[]> keys(new Key[size_t(count)]);
    std::array<Half, 2> halves { { { keys.get(), keys.get() + split, {} },
        { keys.get() + split, keys.get() + count, {} } } };
    std::thread worker;
    if (split < count)
        worker = std::thread(buildAndSort, split, std::cref(textOf), &halves[1]);
    buildAndSort(0, textOf, &halves[0]);
    if (worker.joinable())
        worker.join();

    std::vector<int> order;
    order.reserve(size_t(count));
    const Key* a = halves[0].begin;
    const Key* b = halves[1].begin;
    while (a != halves[0].end && b != halves[1].end) {
        if (halves[1].less(*b, halves[0], *a))
            order.push_back((b++)->item);
        else
            order.push_back((a++)->item);
    }
    for (; a != halves[0].end; ++a)
        order.push_back(a->item);
    for (; b != halves[1].end; ++b)
        order.push_back(b->item);
    return order;
}

} // namespace kuranote
