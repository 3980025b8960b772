#include "itemtable.h"

#include "cp932.h"

#include <algorithm>
#include <limits>

namespace kuranote {
namespace {

// The order of the texts in the buffer, and whether a marker "(1)" to "(5)" goes before each.
struct Place
{
    ItemTable::Field field;
    bool marked;
};
constexpr std::array<Place, ItemTable::FieldCount> Layout { { { ItemTable::Name, true }, { ItemTable::Set1, true },
    { ItemTable::Set2, false }, { ItemTable::Char, true }, { ItemTable::Etc, true }, { ItemTable::Seek, true },
    { ItemTable::Sell, false } } };
constexpr int MarkerUnits = 3;
constexpr quint8 LongText = 0xFF;

template <typename Entry> const Entry& entryOf(const std::vector<Entry>& entries, int record)
{
    return *std::lower_bound(
        entries.begin(), entries.end(), record, [](const Entry& entry, int wanted) { return entry.record < wanted; });
}

} // namespace

ItemTable::ItemTable(qsizetype fileSize)
{
    // Every byte decodes to at most one unit, and a record's markers take fewer units than its quotes, commas
    // and flags take bytes, so this is room for any file in the form the program writes. Pages never written
    // are never taken from the system.
    m_text.resize(fileSize + 1024);
}

void ItemTable::squeeze()
{
    m_text.resize(m_textUsed);
    m_text.squeeze();
}

ItemTable::Lengths ItemTable::lengths(int record) const
{
    const Record& r = at(record);
    if (r.kind & HasLongTexts)
        return entryOf(m_longLengths, record).lengths;
    Lengths lengths;
    std::copy(r.lengths.begin(), r.lengths.end(), lengths.begin());
    return lengths;
}

QStringView ItemTable::text(int record, Field field) const
{
    const Lengths n = lengths(record);
    const QChar* start = m_text.constData() + at(record).text;
    for (const Place& place : Layout) {
        start += place.marked ? MarkerUnits : 0;
        if (place.field == field)
            break;
        start += n[place.field];
    }
    return QStringView(start, n[field]);
}

std::array<QStringView, ItemTable::FieldCount> ItemTable::texts(int record) const
{
    const Lengths n = lengths(record);
    const QChar* start = m_text.constData() + at(record).text;
    std::array<QStringView, FieldCount> texts;
    for (const Place& place : Layout) {
        start += place.marked ? MarkerUnits : 0;
        texts[place.field] = QStringView(start, n[place.field]);
        start += n[place.field];
    }
    return texts;
}

QStringView ItemTable::searchText(int record) const
{
    const Lengths n = lengths(record);
    const quint32 length = 5 * MarkerUnits + n[Name] + n[Set1] + n[Set2] + n[Char] + n[Etc] + n[Seek];
    return QStringView(m_text.constData() + at(record).text, length);
}

QByteArrayView ItemTable::keptBytes(int record, Field field) const
{
    const KeptBytes& kept = entryOf(m_kept, record);
    quint32 start = kept.start;
    for (int f = 0; f < field; ++f)
        start += kept.lengths[f];
    return QByteArrayView(m_keptBytes).sliced(start, kept.lengths[field]);
}

QByteArray ItemTable::storedBytes(int record, Field field) const
{
    if (!encodesBack(record))
        return keptBytes(record, field).toByteArray();
    const QStringView decoded = text(record, field);
    QByteArray bytes(decoded.size() * 2, Qt::Uninitialized);
    bytes.resize(Cp932::encodeDecodedInto(decoded, bytes.data()));
    return bytes;
}

char16_t* ItemTable::textRoom(qsizetype units)
{
    // Growing reallocates, which for a buffer this large moves pages instead of copying them.
    if (m_textUsed + units > m_text.size())
        m_text.resize(std::max(m_textUsed + units, m_text.size() * 2));
    return reinterpret_cast<char16_t*>(m_text.data()) + m_textUsed;
}

bool ItemTable::appendRecord(
    const std::array<QByteArrayView, FieldCount>& texts, const std::array<quint8, VillagerCount>& flags)
{
    // Every byte decodes to at most one unit.
    qsizetype room = 5 * MarkerUnits;
    for (const QByteArrayView text : texts)
        room += text.size();
    if (m_textUsed + room > qsizetype(std::numeric_limits<quint32>::max()))
        return false;

    Record record { quint32(m_textUsed), {}, flags, 0 };
    Lengths n {};
    bool reversible = true;
    char16_t* const begin = textRoom(room);
    char16_t* at = begin;
    char16_t marker = u'1';
    for (const Place& place : Layout) {
        if (place.marked) {
            *at++ = u'(';
            *at++ = marker++;
            *at++ = u')';
        }
        const Cp932::Decoded decoded = Cp932::decodeInto(texts[place.field], at);
        at += decoded.units;
        n[place.field] = quint32(decoded.units);
        reversible = reversible && decoded.reversible;
    }
    m_textUsed += at - begin;

    for (int f = 0; f < FieldCount; ++f)
        record.lengths[f] = quint8(std::min<quint32>(n[f], LongText));
    if (std::any_of(n.begin(), n.end(), [](quint32 length) { return length >= LongText; })) {
        record.kind |= HasLongTexts;
        m_longLengths.push_back({ count() + 1, n });
    }
    if (!reversible) {
        // Rare: a file made by other tools, or bytes that are not code page 932.
        record.kind |= KeepsBytes;
        KeptBytes kept { count() + 1, quint32(m_keptBytes.size()), {} };
        for (int f = 0; f < FieldCount; ++f) {
            kept.lengths[f] = quint32(texts[f].size());
            m_keptBytes.append(texts[f]);
        }
        m_kept.push_back(kept);
    }
    m_records.append(record);
    return true;
}

} // namespace kuranote
