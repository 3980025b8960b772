#pragma once

#include <QByteArray>
#include <QByteArrayView>

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
    void number(qint64 value);
    // Whole values without a point; others with a point and no exponent.
    void number(double value);
    void endLine();

    // The bytes written so far; the writer is empty afterwards.
    QByteArray take();

private:
    // Room for n more bytes at the end of what was written.
    char* room(qsizetype n);
    void separate();

    QByteArray m_bytes;
    qsizetype m_used = 0;
    bool m_lineStarted = false;
};

} // namespace kuranote
