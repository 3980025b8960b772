#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace kuranote {

// Writes fields in the form the reader takes back: texts quoted with nothing escaped, numbers
// bare in decimal, commas between the fields of a line, CR LF after each line.
class FieldWriter final
{
public:
    explicit FieldWriter(QByteArray& out)
        : m_out(out)
    {
    }

    void text(QByteArrayView bytes);
    void number(qint64 value);
    // Whole values without a point; others with a point and no exponent.
    void number(double value);
    void endLine();

private:
    void separate();

    QByteArray& m_out;
    bool m_lineStarted = false;
};

} // namespace kuranote
