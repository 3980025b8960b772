#include "wildcard.h"

namespace kuranote {

WildcardPattern::WildcardPattern(const QString& pattern)
{
    compile(pattern);
}

void WildcardPattern::compile(QStringView pattern)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t unit = pattern[i].unicode();
        switch (unit) {
        case u'*':
            closePiece();
            break;
        case u'?':
            m_elements.push_back({ Element::AnyUnit });
            break;
        case u'#':
            m_elements.push_back({ Element::Digit });
            break;
        case u'[':
            i = parseList(pattern, i);
            break;
        default:
            m_elements.push_back({ Element::Literal, false, unit });
            break;
        }
    }
    closePiece();
}

// Reads the list that opens at `open` and returns the index of its closing "]"; on an error, the pattern's end.
qsizetype WildcardPattern::parseList(QStringView pattern, qsizetype open)
{
    qsizetype i = open + 1;
    const bool negated = i < pattern.size() && pattern[i] == u'!';
    if (negated)
        ++i;
    const int rangesBegin = int(m_ranges.size());
    while (i < pattern.size() && pattern[i] != u']') {
        const char16_t low = pattern[i].unicode();
        char16_t high = low;
        // "-" makes a range only between two characters; first or last in the list it stands for itself.
        if (i + 2 < pattern.size() && pattern[i + 1] == u'-' && pattern[i + 2] != u']') {
            high = pattern[i + 2].unicode();
            if (high < low) {
                m_error = QStringLiteral("範囲「%1」が逆順です").arg(pattern.sliced(i, 3));
                return pattern.size();
            }
            i += 2;
        }
        m_ranges.push_back({ low, high });
        ++i;
    }
    if (i == pattern.size()) {
        m_error = QStringLiteral("「[」が閉じられていません");
        return i;
    }
    m_elements.push_back({ Element::List, negated, 0, rangesBegin, int(m_ranges.size()) });
    return i;
}

void WildcardPattern::closePiece()
{
    const int begin = m_pieces.empty() ? 0 : m_pieces.back().end;
    Piece piece { begin, int(m_elements.size()), QString(), true };
    for (int e = piece.begin; e < piece.end; ++e) {
        if (m_elements[e].kind != Element::Literal) {
            piece.isLiteral = false;
            piece.literal.clear();
            break;
        }
        piece.literal.append(QChar(m_elements[e].unit));
    }
    m_pieces.push_back(std::move(piece));
}

bool WildcardPattern::elementMatches(const Element& element, char16_t unit) const
{
    switch (element.kind) {
    case Element::Literal:
        return unit == element.unit;
    case Element::AnyUnit:
        return true;
    case Element::Digit:
        return unit >= u'0' && unit <= u'9';
    case Element::List:
        for (int r = element.rangesBegin; r < element.rangesEnd; ++r) {
            if (unit >= m_ranges[r].low && unit <= m_ranges[r].high)
                return !element.negated;
        }
        return element.negated;
    }
    return false;
}

bool WildcardPattern::pieceMatchesAt(const Piece& piece, QStringView text, qsizetype at) const
{
    for (int e = piece.begin; e < piece.end; ++e) {
        if (!elementMatches(m_elements[e], text[at + e - piece.begin].unicode()))
            return false;
    }
    return true;
}

// Leftmost start of `piece` in text[from, end), or -1.
qsizetype WildcardPattern::findPiece(const Piece& piece, QStringView text, qsizetype from, qsizetype end) const
{
    const QStringView window = text.first(end);
    if (piece.isLiteral)
        return window.indexOf(piece.literal, from);
    for (qsizetype at = from; at + piece.length() <= end; ++at) {
        if (pieceMatchesAt(piece, window, at))
            return at;
    }
    return -1;
}

// Every piece has a fixed length, so placing each floating piece at its leftmost fit leaves the most room for the
// rest: one left-to-right pass decides, and the time stays linear in the text whatever the number of "*".
bool WildcardPattern::matches(QStringView text) const
{
    if (!isValid())
        return false;
    const Piece& head = m_pieces.front();
    if (m_pieces.size() == 1)
        return text.size() == head.length() && pieceMatchesAt(head, text, 0);

    const Piece& tail = m_pieces.back();
    if (text.size() < head.length() + tail.length())
        return false;
    const qsizetype tailStart = text.size() - tail.length();
    if (!pieceMatchesAt(head, text, 0) || !pieceMatchesAt(tail, text, tailStart))
        return false;

    qsizetype position = head.length();
    for (auto piece = m_pieces.begin() + 1; piece + 1 != m_pieces.end(); ++piece) {
        const qsizetype found = findPiece(*piece, text, position, tailStart);
        if (found < 0)
            return false;
        position = found + piece->length();
    }
    return true;
}

} // namespace kuranote
