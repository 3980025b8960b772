#include "fieldreader.h"

#include "cp932.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace kuranote {
namespace {

// CR LF, a lone CR and a lone LF each count once.
int countLineEnds(QByteArrayView text)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    int lines = 0;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))); ++p)
        ++lines;
    for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)))); ++p) {
        if (p + 1 == end || p[1] != '\n')
            ++lines;
    }
    return lines;
}

} // namespace

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
    const qsizetype start = m_pos + 1;
    const char* found
        = static_cast<const char*>(std::memchr(m_data.data() + start, '"', size_t(m_data.size() - start)));
    const qsizetype close = found ? found - m_data.data() : m_data.size();
    const QByteArrayView value = m_data.sliced(start, close - start);
    m_line += countLineEnds(value);
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
