#include "fieldwriter.h"

#include "cp932.h"

#include <cmath>
#include <cstring>

namespace kuranote {

FieldWriter::FieldWriter(qsizetype sizeHint)
{
    m_bytes.resize(std::max<qsizetype>(sizeHint, 64));
    m_data = m_bytes.data();
}

void FieldWriter::grow(qsizetype n)
{
    m_bytes.resize(std::max(m_used + n, m_bytes.size() * 2));
    m_data = m_bytes.data();
}

void FieldWriter::clear()
{
    m_used = 0;
    m_lineStarted = false;
}

void FieldWriter::separate()
{
    if (m_lineStarted)
        *room(1) = ',';
    m_lineStarted = true;
}

void FieldWriter::text(QByteArrayView bytes)
{
    separate();
    // Quoted, the text would end at its double quote. A bare field holds no comma or line end and
    // has lost its outer blanks when read, so written bare again it reads back whole.
    const bool bare = !bytes.isEmpty() && std::memchr(bytes.data(), '"', size_t(bytes.size()));
    const qsizetype quotes = bare ? 0 : 1;
    char* at = room(bytes.size() + 2 * quotes);
    if (!bare) {
        at[0] = '"';
        at[bytes.size() + 1] = '"';
    }
    if (!bytes.isEmpty())
        std::memcpy(at + quotes, bytes.data(), size_t(bytes.size()));
}

void FieldWriter::decodedText(QStringView text)
{
    separate();
    // Bare for a double quote, as text() writes it.
    const qsizetype quotes = text.contains(u'"') ? 0 : 1;
    char* at = room(text.size() * 2 + 2 * quotes);
    if (quotes)
        *at = '"';
    const qsizetype length = Cp932::encodeDecodedInto(text, at + quotes);
    if (quotes)
        at[length + 1] = '"';
    m_used -= text.size() * 2 - length; // the room a unit of one byte did not take
}

void FieldWriter::number(qint64 value)
{
    separate();
    if (value >= 0 && value < 10) {
        *room(1) = char('0' + value);
        return;
    }
    const QByteArray digits = QByteArray::number(value);
    std::memcpy(room(digits.size()), digits.constData(), size_t(digits.size()));
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
    // A value that rounds to zero keeps no sign: "-0" would read back as zero, which is written "0".
    if (digits == "-0")
        digits = "0";
    std::memcpy(room(digits.size()), digits.constData(), size_t(digits.size()));
}

void FieldWriter::endLine()
{
    std::memcpy(room(2), "\r\n", 2);
    m_lineStarted = false;
}

QByteArray FieldWriter::take()
{
    m_bytes.resize(m_used);
    m_used = 0;
    m_lineStarted = false;
    m_data = nullptr;
    return std::exchange(m_bytes, QByteArray());
}

} // namespace kuranote
