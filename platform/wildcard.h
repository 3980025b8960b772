#pragma once

#include "unitmasks.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <optional>
#include <vector>

namespace kuranote {

// A compiled wildcard pattern: "*", "?", "#", "[list]", "[!list]" and literal characters, compared code unit by code
// unit. Compiled once and matched against many texts, so matches() allocates nothing and never backtracks: each
// piece between two "*" is placed once, at its leftmost fit, found in one pass over the text.
class WildcardPattern
{
public:
    explicit WildcardPattern(const QString& pattern);

    bool isValid() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    bool matches(QStringView text) const;

private:
    struct Element
    {
        enum Kind : quint8 { Literal, AnyUnit, Digit, List };
        Kind kind;
        bool negated = false; // List only
        char16_t unit = 0; // Literal only
        int rangesBegin = 0; // List only: index into m_ranges
        int rangesEnd = 0;
    };
    struct Range
    {
        char16_t low;
        char16_t high;
    };
    // Elements between two "*": every element consumes exactly one code unit, so a piece has a fixed length.
    struct Piece
    {
        int begin;
        int end;
        QString literal; // the piece's text when it holds only literal characters
        bool isLiteral;
        // For a piece with wildcards: bit e of the mask of a unit is clear when element begin + e accepts it, for
        // the piece's first 64 elements. Missing when the pattern's tables would grow too large.
        std::optional<UnitMasks> rejects;
        qsizetype length() const { return end - begin; }
        int scannedLength() const { return std::min(end - begin, 64); }
    };

    void compile(QStringView pattern);
    qsizetype parseList(QStringView pattern, qsizetype open);
    void closePiece();
    void buildRejects(Piece* piece, size_t* blockBudget) const;
    bool elementMatches(const Element& element, char16_t unit) const;
    bool pieceMatchesAt(const Piece& piece, QStringView text, qsizetype at, int fromElement = 0) const;
    qsizetype findPiece(const Piece& piece, QStringView text, qsizetype from, qsizetype end) const;
    qsizetype scanPiece(const Piece& piece, QStringView text, qsizetype from) const;

    std::vector<Element> m_elements;
    std::vector<Range> m_ranges;
    std::vector<Piece> m_pieces; // one more than the number of "*"
    QString m_error;
};

} // namespace kuranote
