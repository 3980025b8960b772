#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

namespace kuranote {

// Writes fields in the form the reader takes back: texts quoted with nothing escaped, numbers
// bare in decimal, commas between the fields of a line, CR LF after each line. A text holding a
// double quote, which only a bare field can give, is written back bare, as it was read.
class FieldWriter final
{
public:
    // sizeHint: the bytes expected, so that a large file is written without reallocation.
    explicit FieldWriter(qsizetype sizeHint = 0);

    void text(QByteArrayView bytes);
    // A text decoded from code page 932 whose decoding was reversible, written as the bytes it came from.
    void decodedText(QStringView text);
    void number(qint64 value);
    // Whole values without a point; others with a point, six decimals at most and no exponent; never "-0".
    void number(double value);
    void endLine();

    // The bytes written so far; the writer is empty afterwards.
    QByteArray take();
    // The bytes written so far, valid until the next change.
    QByteArrayView written() const { return QByteArrayView(m_data, m_used); }
    // Empties the writer and keeps its room.
    void clear();

private:
    // Room for n more bytes at the end of what was written; called for every field, so it stays inline.
    char* room(qsizetype n)
    {
        if (m_used + n > m_bytes.size())
            grow(n);
        char* at = m_data + m_used;
        m_used += n;
        return at;
    }
    void grow(qsizetype n);
    void separate();

    QByteArray m_bytes;
    char* m_data = nullptr; // m_bytes.data(), kept so that writing never asks whether the bytes are shared
    qsizetype m_used = 0;
    bool m_lineStarted = false;
};

} // namespace kuranote
