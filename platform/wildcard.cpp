#include "wildcard.h"

namespace kuranote {
namespace {

// What the tables of one pattern may hold at most, in blocks of 256 masks (2 KiB each); pieces beyond it, which
// only a key of thousands of characters needs, are tried at each position instead.
constexpr size_t MaskBlockBudget = 1024;
constexpr size_t MaxBoundariesPerPiece = 1024;

} // namespace

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
    if (!isValid())
        return;
    size_t blockBudget = MaskBlockBudget;
    for (size_t p = 1; p + 1 < m_pieces.size(); ++p) {
        if (!m_pieces[p].isLiteral)
            buildRejects(&m_pieces[p], &blockBudget);
    }
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

void WildcardPattern::buildRejects(Piece* piece, size_t* blockBudget) const
{
    const int last = piece->begin + piece->scannedLength();
    std::vector<char16_t> boundaries;
    const auto addRange = [&boundaries](char16_t low, char16_t high) {
        if (low > 0)
            boundaries.push_back(low);
        if (high < 0xFFFF)
            boundaries.push_back(char16_t(high + 1));
    };
    for (int e = piece->begin; e < last; ++e) {
        const Element& element = m_elements[size_t(e)];
        switch (element.kind) {
        case Element::Literal:
            addRange(element.unit, element.unit);
            break;
        case Element::AnyUnit:
            break;
        case Element::Digit:
            addRange(u'0', u'9');
            break;
        case Element::List:
            for (int r = element.rangesBegin; r < element.rangesEnd; ++r)
                addRange(m_ranges[size_t(r)].low, m_ranges[size_t(r)].high);
            break;
        }
    }
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
    if (boundaries.size() > MaxBoundariesPerPiece)
        return;
    UnitMasks rejects(boundaries, [&](char16_t unit) {
        quint64 mask = 0;
        for (int e = piece->begin; e < last; ++e) {
            if (!elementMatches(m_elements[size_t(e)], unit))
                mask |= quint64(1) << (e - piece->begin);
        }
        return mask;
    });
    if (rejects.blockCount() > *blockBudget)
        return;
    *blockBudget -= rejects.blockCount();
    piece->rejects = std::move(rejects);
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

bool WildcardPattern::pieceMatchesAt(const Piece& piece, QStringView text, qsizetype at, int fromElement) const
{
    for (int e = piece.begin + fromElement; e < piece.end; ++e) {
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
    if (piece.rejects)
        return scanPiece(piece, window, from);
    for (qsizetype at = from; at + piece.length() <= end; ++at) {
        if (pieceMatchesAt(piece, window, at))
            return at;
    }
    return -1;
}

// Shift-or: after reading the unit at `at`, bit e of `state` is clear when the piece's elements 0 to e accept the
// units that end at `at`. All of them at once cost a shift and an or per unit, whatever the piece holds; a piece
// longer than 64 elements has the rest of its elements compared where its first 64 match.
qsizetype WildcardPattern::scanPiece(const Piece& piece, QStringView text, qsizetype from) const
{
    const UnitMasks& rejects = *piece.rejects;
    const int scanned = piece.scannedLength();
    const quint64 lastElement = quint64(1) << (scanned - 1);
    const char16_t* const units = text.utf16();
    const qsizetype end = text.size() - (piece.length() - scanned);
    quint64 state = ~quint64(0);
    for (qsizetype at = from; at < end; ++at) {
        state = state << 1 | rejects(units[at]);
        if (state & lastElement)
            continue;
        const qsizetype start = at - scanned + 1;
        if (scanned == piece.length() || pieceMatchesAt(piece, text, start, scanned))
            return start;
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
