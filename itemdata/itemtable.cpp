#include "itemtable.h"

#include "cp932.h"

namespace kuranote {

ItemTable::ItemTable(QByteArray fileBytes)
    : m_fileBytes(std::move(fileBytes))
{
    // Every byte decodes to at most one UTF-16 unit; the markers add a few per record.
    m_text.reserve(m_fileBytes.size() + m_fileBytes.count('\n') * 16 + 16);
}

void ItemTable::reserve(int records)
{
    m_records.reserve(size_t(records));
}

QStringView ItemTable::text(int record, Field field) const
{
    const Span span = at(record).text[field];
    return QStringView(m_text).sliced(span.start, span.length);
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
    return QStringView(m_text).sliced(start, end - start);
}

ItemTable::Span ItemTable::appendText(QByteArrayView bytes)
{
    const auto start = quint32(m_text.size());
    Cp932::decodeAppend(bytes, m_text);
    return { start, quint32(m_text.size()) - start };
}

void ItemTable::appendRecord(const std::array<QByteArrayView, FieldCount>& texts,
                             const std::array<quint8, VillagerCount>& flags)
{
    Record record;
    for (int f = 0; f < FieldCount; ++f) {
        Q_ASSERT(texts[f].data() >= m_fileBytes.constData()
                 && texts[f].data() + texts[f].size() <= m_fileBytes.constData() + m_fileBytes.size());
        record.bytes[f] = { quint32(texts[f].data() - m_fileBytes.constData()), quint32(texts[f].size()) };
    }
    // Laid out so that the search text is one contiguous run; "Set1" and "Set2" touch on purpose.
    m_text.append(u"(1)");
    record.text[Name] = appendText(texts[Name]);
    m_text.append(u"(2)");
    record.text[Set1] = appendText(texts[Set1]);
    record.text[Set2] = appendText(texts[Set2]);
    m_text.append(u"(3)");
    record.text[Char] = appendText(texts[Char]);
    m_text.append(u"(4)");
    record.text[Etc] = appendText(texts[Etc]);
    m_text.append(u"(5)");
    record.text[Seek] = appendText(texts[Seek]);
    record.text[Sell] = appendText(texts[Sell]);
    record.flags = flags;
    m_records.push_back(record);
}

} // namespace kuranote
