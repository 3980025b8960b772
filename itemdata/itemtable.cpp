#include "itemtable.h"

#include "cp932.h"

#include <cstring>

namespace kuranote {

ItemTable::ItemTable(QByteArray fileBytes)
    : m_fileBytes(std::move(fileBytes))
{
    // Every byte decodes to at most one UTF-16 unit; the markers add 15 per record, and a record
    // takes at least one line unless the file puts several on one.
    const char* const begin = m_fileBytes.constData();
    const char* const end = begin + m_fileBytes.size();
    qsizetype lines = 1;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))); ++p)
        ++lines;
    m_text.resize(m_fileBytes.size() + lines * 15);
}

QStringView ItemTable::text(int record, Field field) const
{
    const Span span = at(record).text[field];
    return QStringView(m_text.constData() + span.start, span.length);
}

QByteArrayView ItemTable::storedBytes(int record, Field field) const
{
    const Span span = at(record).bytes[field];
    return QByteArrayView(m_fileBytes).sliced(span.start, span.length);
}

QStringView ItemTable::searchText(int record) const
{
    const Record& r = at(record);
    const quint32 start = r.text[Name].start - 3;
    const quint32 end = r.text[Seek].start + r.text[Seek].length;
    return QStringView(m_text.constData() + start, end - start);
}

char16_t* ItemTable::textRoom(qsizetype units)
{
    if (m_textUsed + units > m_text.size())
        m_text.resize(std::max(m_textUsed + units, m_text.size() * 2));
    return reinterpret_cast<char16_t*>(m_text.data()) + m_textUsed;
}

ItemTable::Span ItemTable::appendText(QByteArrayView bytes)
{
    const auto start = quint32(m_textUsed);
    m_textUsed += Cp932::decodeInto(bytes, textRoom(bytes.size()));
    return { start, quint32(m_textUsed - start) };
}

void ItemTable::appendMarker(char16_t digit)
{
    char16_t* at = textRoom(3);
    at[0] = u'(';
    at[1] = digit;
    at[2] = u')';
    m_textUsed += 3;
}

void ItemTable::appendRecord(
    const std::array<QByteArrayView, FieldCount>& texts, const std::array<quint8, VillagerCount>& flags)
{
    Record record;
    for (int f = 0; f < FieldCount; ++f) {
        Q_ASSERT(texts[f].data() >= m_fileBytes.constData()
            && texts[f].data() + texts[f].size() <= m_fileBytes.constData() + m_fileBytes.size());
        record.bytes[f] = { quint32(texts[f].data() - m_fileBytes.constData()), quint32(texts[f].size()) };
    }
    // Laid out so that the search text is one contiguous run; "Set1" and "Set2" touch on purpose.
    appendMarker(u'1');
    record.text[Name] = appendText(texts[Name]);
    appendMarker(u'2');
    record.text[Set1] = appendText(texts[Set1]);
    record.text[Set2] = appendText(texts[Set2]);
    appendMarker(u'3');
    record.text[Char] = appendText(texts[Char]);
    appendMarker(u'4');
    record.text[Etc] = appendText(texts[Etc]);
    appendMarker(u'5');
    record.text[Seek] = appendText(texts[Seek]);
    record.text[Sell] = appendText(texts[Sell]);
    record.flags = flags;
    m_records.push_back(record);
}

} // namespace kuranote
