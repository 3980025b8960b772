#include "fieldwriter.h"

#include <cmath>

namespace kuranote {

void FieldWriter::separate()
{
    if (m_lineStarted)
        m_out.append(',');
    m_lineStarted = true;
}

void FieldWriter::text(QByteArrayView bytes)
{
    separate();
    m_out.append('"').append(bytes).append('"');
}

void FieldWriter::number(qint64 value)
{
    separate();
    m_out.append(QByteArray::number(value));
}

void FieldWriter::number(double value)
{
    if (std::nearbyint(value) == value && std::abs(value) < 1e15) {
        number(qint64(value));
        return;
    }
    separate();
    QByteArray digits = QByteArray::number(value, 'f', 6);
    while (digits.endsWith('0'))
        digits.chop(1);
    if (digits.endsWith('.'))
        digits.chop(1);
    m_out.append(digits);
}

void FieldWriter::endLine()
{
    m_out.append("\r\n");
    m_lineStarted = false;
}

} // namespace kuranote
