#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kuranote {

// Reads the comma-separated fields of the sequential text files, one field at a time.
// A comma and a line end both end a field, so line structure is not enforced. A line end is
// CR LF, and also a lone CR or LF (files edited with other editors). Quoted fields run to their
// closing quote, line ends included. Values are the raw bytes: decoding is the caller's business,
// and no byte of code page 932 can be mistaken for a quote, comma or line end.
class FieldReader final
{
public:
    // firstLine: the line on which data begins, for data that continues what an earlier reader read.
    explicit FieldReader(QByteArrayView data, int firstLine = 1);

    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype position() const { return m_pos; }
    // Reads the next field; at the end of the data it returns an empty value and leaves atEnd() set.
    QByteArrayView readField();
    // The 1-based line on which the field last read began.
    int fieldLine() const { return m_fieldLine; }
    // The 1-based line of the current position.
    int line() const { return m_line; }

private:
    QByteArrayView readQuoted();
    QByteArrayView readBare();
    // Consumes a line end at the current position, if one is there.
    bool skipLineEnd();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    int m_line;
    int m_fieldLine;
};

} // namespace kuranote

namespace kuranote {

// The value of a number field: optional sign, digits, optional fraction, blanks around ignored.
// Nothing when the field holds anything else.
std::optional<double> parseDecimal(QByteArrayView field);

// The start of a field, decoded, as an error message quotes it.
QString quotedInMessage(QByteArrayView field);

} // namespace kuranote
