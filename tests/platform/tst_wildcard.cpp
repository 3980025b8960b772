#include "platform/wildcard.h"

#include <QTest>

using kuranote::WildcardPattern;
using namespace Qt::StringLiterals;

class tst_Wildcard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matches_data();
    void matches();
    void searchText_data();
    void searchText();
    void longAndWidePieces_data();
    void longAndWidePieces();
    void invalidPattern_data();
    void invalidPattern();
    void viewOfLargerText_seesOnlyTheView();
    void manyStarsOnLongText_answersWithoutBacktracking();
};

static void addRow(const char* name, const QString& pattern, const QString& text, bool expected)
{
    QTest::newRow(name) << pattern << text << expected;
}

// Shared by the tables with the columns pattern, text and expected; every pattern there is valid.
static void compareMatch()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, expected);

    const WildcardPattern compiled(pattern);
    QVERIFY2(compiled.isValid(), qPrintable(compiled.errorString()));
    QCOMPARE(compiled.errorString(), QString());
    QCOMPARE(compiled.matches(text), expected);
}

void tst_Wildcard::matches_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    addRow("literal whole", u"abc"_s, u"abc"_s, true);
    addRow("literal is anchored at the end", u"abc"_s, u"abcd"_s, false);
    addRow("literal is anchored at the start", u"abc"_s, u"xabc"_s, false);
    addRow("empty pattern, empty text", QString(), QString(), true);
    addRow("empty pattern, some text", QString(), u"a"_s, false);

    addRow("star matches none", u"a*c"_s, u"ac"_s, true);
    addRow("star matches a run", u"a*c"_s, u"abbbc"_s, true);
    addRow("star keeps the tail anchored", u"a*c"_s, u"abcb"_s, false);
    addRow("head and tail may not overlap", u"a*a"_s, u"a"_s, false);
    addRow("trailing star", u"a*"_s, u"abc"_s, true);
    addRow("leading star", u"*c"_s, u"abc"_s, true);
    addRow("double star, empty text", u"**"_s, QString(), true);
    addRow("double star, any text", u"**"_s, u"ひのきのつくえ"_s, true);
    addRow("stars in a row", u"a**b"_s, u"ab"_s, true);
    addRow("floating pieces in order", u"*ab*cd*"_s, u"xxabyycdzz"_s, true);
    addRow("floating pieces out of order", u"*cd*ab*"_s, u"xxabyycdzz"_s, false);
    addRow("floating pieces may not overlap", u"*aba*aba*"_s, u"ababa"_s, false);
    addRow("floating piece may not overlap the tail", u"*ab*b"_s, u"ab"_s, false);
    addRow("wildcard piece may not overlap the tail", u"*a?*b"_s, u"ab"_s, false);

    addRow("question mark, one unit", u"a?c"_s, u"abc"_s, true);
    addRow("question mark needs a unit", u"a?c"_s, u"ac"_s, false);
    addRow("question mark, kana", u"?"_s, u"あ"_s, true);
    addRow("question mark is one code unit", u"?"_s, u"𠮷"_s, false);
    addRow("two question marks, surrogate pair", u"??"_s, u"𠮷"_s, true);

    addRow("hash, ASCII digit", u"No.##"_s, u"No.07"_s, true);
    addRow("hash, letter", u"#"_s, u"a"_s, false);
    addRow("hash, full-width digit", u"#"_s, u"７"_s, false);
    addRow("hash, Arabic-Indic digit", u"#"_s, u"٣"_s, false);

    addRow("list, member", u"[abc]"_s, u"b"_s, true);
    addRow("list, non-member", u"[abc]"_s, u"d"_s, false);
    addRow("range, inside", u"[a-c]"_s, u"b"_s, true);
    addRow("range, outside", u"[a-c]"_s, u"d"_s, false);
    addRow("range of hiragana", u"[あ-お]"_s, u"う"_s, true);
    addRow("hiragana range, katakana", u"[あ-お]"_s, u"ウ"_s, false);
    addRow("range with equal ends, inside", u"[K-K]"_s, u"K"_s, true);
    addRow("range with equal ends, outside", u"[K-K]"_s, u"L"_s, false);
    addRow("list and range mixed", u"[xa-cz]"_s, u"z"_s, true);
    addRow("negated, non-member", u"[!abc]"_s, u"d"_s, true);
    addRow("negated, member", u"[!abc]"_s, u"a"_s, false);
    addRow("negated range, member", u"[!a-c]"_s, u"b"_s, false);
    addRow("bang not first is literal", u"[a!]"_s, u"!"_s, true);
    addRow("bang not first does not negate", u"[a!]"_s, u"b"_s, false);
    addRow("negated bang", u"[!!]"_s, u"!"_s, false);
    addRow("dash first is literal", u"[-a]"_s, u"-"_s, true);
    addRow("dash last is literal", u"[a-]"_s, u"-"_s, true);
    addRow("dash last makes no range", u"[a-]"_s, u"b"_s, false);
    addRow("negated dash", u"[!-]"_s, u"-"_s, false);
    addRow("empty list matches no unit", u"*[]*"_s, u"abc"_s, false);
    addRow("empty negated list, one unit", u"[!]"_s, u"あ"_s, true);
    addRow("empty negated list, no unit", u"[!]"_s, QString(), false);
    addRow("empty negated list, two units", u"[!]"_s, u"ab"_s, false);
    addRow("wildcards in a list are literal", u"[*?#[]"_s, u"["_s, true);
    addRow("star in a list is not a run", u"a[*]"_s, u"abc"_s, false);
    addRow("hash in a list is not a digit", u"[#]"_s, u"1"_s, false);
    addRow("closing bracket outside a list", u"a]"_s, u"a]"_s, true);
    addRow("bang outside a list", u"!a"_s, u"!a"_s, true);

    addRow("full-width question mark", u"？"_s, u"a"_s, false);
    addRow("full-width question mark, itself", u"？"_s, u"？"_s, true);
    addRow("full-width star", u"＊"_s, u"abc"_s, false);
    addRow("full-width hash", u"＃"_s, u"1"_s, false);
    addRow("full-width brackets", u"［あ］"_s, u"［あ］"_s, true);
    addRow("full-width brackets are no list", u"［あ］"_s, u"あ"_s, false);

    addRow("upper case differs", u"*abc*"_s, u"xABCx"_s, false);
    addRow("full-width Latin differs", u"*abc*"_s, u"ａｂｃ"_s, false);
    addRow("hiragana vs katakana", u"*さくら*"_s, u"サクラのき"_s, false);
    addRow("katakana vs half-width", u"*サクラ*"_s, u"ｻｸﾗのき"_s, false);
    addRow("katakana found", u"*サクラ*"_s, u"ぼくのサクラ"_s, true);
}

void tst_Wildcard::matches()
{
    compareMatch();
}

void tst_Wildcard::searchText_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    const QString plain = u"(1)x(2)yz(3)abc(4)def(5)ghi"_s;
    addRow("marker addresses the start of a field", u"*(3)ab*"_s, plain, true);
    addRow("marker needs the field's start", u"*(3)bc*"_s, plain, false);
    addRow("marker addresses the end of a field", u"*bc(4)*"_s, plain, true);
    addRow("marker needs the field's end", u"*ab(4)*"_s, plain, false);
    addRow("key across the two sets", u"*yz*"_s, plain, true);

    const QString desk = u"(1)ひのきのつくえ(2)ウッドセットナチュラル(3)つくえ(4)りんごむら(5)ひのき つくえ"_s;
    addRow("Japanese key across the two sets", u"*セットナチュ*"_s, desk, true);
    addRow("Japanese marker key", u"*(3)つく*"_s, desk, true);
    addRow("Japanese marker key, wrong field", u"*(3)ひのき*"_s, desk, false);
    addRow("wildcard between markers", u"*(1)ひのき*(3)つ?え(4)*"_s, desk, true);
    addRow("katakana key on hiragana text", u"*ツクエ*"_s, desk, false);
    addRow("empty key", u"**"_s, desk, true);
}

void tst_Wildcard::searchText()
{
    compareMatch();
}

void tst_Wildcard::longAndWidePieces_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    // Up to 64 elements are followed all at once; the rest of a longer piece is compared where those match.
    const QString a63(63, u'a');
    const QString a64(64, u'a');
    addRow("piece of 64 elements", u"*"_s + QString(63, u'?') + u"#*"_s, a63 + u'7', true);
    addRow(
        "piece of 64 elements, one unit short", u"*"_s + QString(63, u'?') + u"#*"_s, QString(62, u'a') + u'7', false);
    addRow("piece of 65 elements, found after a near miss", u"*?"_s + a63 + u"b*"_s, a64 + u'c' + a64 + u'b', true);
    addRow("piece of 65 elements, only near misses", u"*?"_s + a63 + u"b*"_s, a64 + u'c' + a64 + u'c', false);
    addRow("piece of 65 elements may not overlap the tail", u"*?"_s + a63 + u"b*b"_s, u'x' + a63 + u'b', false);

    // A list of 600 single units every other unit apart: more places where the answer changes than a table holds.
    QString sparse;
    for (int i = 0; i < 600; ++i)
        sparse += QChar(char16_t(0x4E00 + 2 * i));
    addRow("list too wide for a table, member", u"*["_s + sparse + u"]#*"_s,
        u"xx\u4E02"
        "5x"_s,
        true);
    addRow("list too wide for a table, between members", u"*["_s + sparse + u"]#*"_s,
        u"xx\u4E03"
        "5x"_s,
        false);

    // Lists whose members lie in every block of 256 units; so many pieces that only the first get tables.
    QString everyBlock;
    for (int high = 0; high < 256; ++high)
        everyBlock += QChar(char16_t(high << 8 | 0x41));
    QString manyPieces;
    for (int i = 0; i < 12; ++i)
        manyPieces += u"*["_s + everyBlock + u"]?"_s;
    addRow("members in every block", u"*["_s + everyBlock + u"]#*"_s,
        u"\uFF41"
        "1"_s,
        true);
    addRow("members in every block, non-member", u"*["_s + everyBlock + u"]#*"_s,
        u"\uFF42"
        "1"_s,
        false);
    addRow("many wide pieces", manyPieces + u'*', QString(12, u'\uFF41') + QString(12, u'A'), true);
    addRow("many wide pieces, one too few", manyPieces + u'*', QString(23, u'\uFF41'), false);
    addRow("negated range across blocks", u"*[!\u00FF-\u3001]#*"_s,
        u"\u3000"
        "1\u3002"
        "2"_s,
        true);
    addRow("negated range across blocks, inside", u"*[!\u00FF-\u3001]#*"_s,
        u"\u3000"
        "1\u00FF"
        "2"_s,
        false);
    addRow("range to the last unit", u"*[\uFFF0-\uFFFF]*"_s, u"a\uFFFF"_s, true);
    addRow("range from the first unit", u"*[\u0000-\u0001]*"_s, QString(QChar(u'\0')), true);
}

void tst_Wildcard::longAndWidePieces()
{
    compareMatch();
}

void tst_Wildcard::invalidPattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");

    QTest::newRow("lone bracket") << u"["_s << u"["_s;
    QTest::newRow("bracket never closed") << u"a[bc"_s << u"abc"_s;
    QTest::newRow("bracket never closed, in a key") << u"*[*"_s << u"abc"_s;
    QTest::newRow("negated, never closed") << u"[!"_s << u"!"_s;
    QTest::newRow("descending range") << u"[z-a]"_s << u"m"_s;
    QTest::newRow("descending range after a valid one") << u"*[a-c][c-a]*"_s << u"ab"_s;
    QTest::newRow("descending kana range") << u"[ア-あ]"_s << u"あ"_s;
}

void tst_Wildcard::invalidPattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);

    const WildcardPattern compiled(pattern);
    QCOMPARE(compiled.isValid(), false);
    QVERIFY(!compiled.errorString().isEmpty());
    QCOMPARE(compiled.matches(text), false);
    QCOMPARE(compiled.matches(QString()), false);
}

void tst_Wildcard::viewOfLargerText_seesOnlyTheView()
{
    const QString buffer = u"xxabcxx"_s;
    const QStringView middle = QStringView(buffer).sliced(2, 3);
    QCOMPARE(WildcardPattern(u"abc"_s).matches(middle), true);
    QCOMPARE(WildcardPattern(u"*c"_s).matches(middle), true);
    QCOMPARE(WildcardPattern(u"*cx*"_s).matches(middle), false);
    QCOMPARE(WildcardPattern(u"*b?x"_s).matches(middle), false);
}

void tst_Wildcard::manyStarsOnLongText_answersWithoutBacktracking()
{
    const QString run(100000, u'a');
    const WildcardPattern literalPieces(u"*a*a*a*a*a*a*a*a*a*b"_s);
    QCOMPARE(literalPieces.matches(run), false);
    QCOMPARE(literalPieces.matches(run + u'b'), true);

    const WildcardPattern wildcardPieces(u"*a?*?a*[a]*#*"_s);
    QCOMPARE(wildcardPieces.matches(run), false);
    QCOMPARE(wildcardPieces.matches(run + u'7' + run), true);
}

QTEST_APPLESS_MAIN(tst_Wildcard)
#include "tst_wildcard.moc"
