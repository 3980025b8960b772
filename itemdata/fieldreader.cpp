#include "fieldreader.h"

#include "cp932.h"

#include <QByteArray>

#include <algorithm>

namespace kuranote {
FieldReader::FieldReader(QByteArrayView data, int firstLine)
    : m_data(data)
    , m_line(firstLine)
    , m_fieldLine(firstLine)
{
}

QByteArrayView FieldReader::readField()
{
    while (m_pos < m_data.size() && m_data[m_pos] == ' ')
        ++m_pos;
    m_fieldLine = m_line;
    if (m_pos < m_data.size() && m_data[m_pos] == '"')
        return readQuoted();
    return readBare();
}

bool FieldReader::skipLineEnd()
{
    if (m_pos >= m_data.size())
        return false;
    if (m_data[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
    } else if (m_data[m_pos] == '\n') {
        ++m_pos;
    } else {
        return false;
    }
    ++m_line;
    return true;
}

QByteArrayView FieldReader::readQuoted()
{
    // Values are short: one pass finds the closing quote and counts the line ends on the way, CR LF, a lone CR
    // and a lone LF once each.
    const qsizetype start = m_pos + 1;
    const char* const end = m_data.data() + m_data.size();
    const char* p = m_data.data() + start;
    for (; p != end && *p != '"'; ++p) {
        if (*p == '\n' || (*p == '\r' && (p + 1 == end || p[1] != '\n')))
            ++m_line;
    }
    const qsizetype close = p - m_data.data();
    const QByteArrayView value = m_data.sliced(start, close - start);
    // Whatever follows the closing quote, up to the next comma or line end, is not part of the value.
    m_pos = std::min(close + 1, m_data.size());
    while (m_pos < m_data.size() && m_data[m_pos] != ',' && m_data[m_pos] != '\r' && m_data[m_pos] != '\n')
        ++m_pos;
    if (!skipLineEnd() && m_pos < m_data.size())
        ++m_pos; // the comma
    return value;
}

QByteArrayView FieldReader::readBare()
{
    const qsizetype start = m_pos;
    while (m_pos < m_data.size() && m_data[m_pos] != ',' && m_data[m_pos] != '\r' && m_data[m_pos] != '\n')
        ++m_pos;
    qsizetype end = m_pos;
    while (end > start && m_data[end - 1] == ' ')
        --end;
    if (!skipLineEnd() && m_pos < m_data.size())
        ++m_pos; // the comma
    return m_data.sliced(start, end - start);
}

} // namespace kuranote

namespace kuranote {

std::optional<double> parseDecimal(QByteArrayView field)
{
    const QByteArrayView trimmed = field.trimmed();
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9')
        ++i;
    qsizetype digits = i - digitsStart;
    if (i < trimmed.size() && trimmed[i] == '.') {
        ++i;
        const qsizetype fractionStart = i;
        while (i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9')
            ++i;
        digits += i - fractionStart;
    }
    if (digits == 0 || i != trimmed.size())
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toByteArray().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString quotedInMessage(QByteArrayView field)
{
    return Cp932::decode(field.first(std::min<qsizetype>(field.size(), 40)));
}

} // namespace kuranote
