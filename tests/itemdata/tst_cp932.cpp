#include "itemdata/cp932.h"
#include "itemdata/cp932table.h"
#include "itemdata/storedtext.h"
#include "windowsconverter.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Qt's "windows-31j" (ICU-backed in Debian's Qt) reaches the mapping through its own name lookup and converter
// code; a change on either side shows up below, code by code.
char16_t qtDecoded(QByteArrayView code)
{
    QStringDecoder qt("windows-31j", QStringConverter::Flag::Stateless);
    const QString text = qt(code);
    if (qt.hasError() || text.size() != 1 || text[0] == u'\x1a')
        return Cp932Table::Invalid;
    return text[0].unicode();
}

QString hexCode(const QByteArray& bytes)
{
    return u"0x"_s + QString::fromLatin1(bytes.toHex().toUpper());
}

QString unicodeNames(const std::optional<QString>& text)
{
    if (!text)
        return u"refused"_s;
    QStringList names;
    for (QChar unit : *text)
        names.append(u"U+%1"_s.arg(int(unit.unicode()), 4, 16, QLatin1Char('0')).toUpper());
    return names.join(u' ');
}

} // namespace

class TestCp932 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyCode_decodesAsQtsConverter();
    void everyCharacter_encodesAsQtsConverter();
    void invalidBytes_decodeAsReplacement();
    void everyCode_encodesBackWhenQtWritesIt();
    void everyCode_agreesWithWindowsConverter();
    void typedText_isEncodedOrRefused();
    void storedText_keepsItsBytes();
    void missingConverter_isReportedAndDecodesNothing();
};

void TestCp932::initTestCase()
{
    QVERIFY(QStringDecoder("windows-31j").isValid());
    QCOMPARE(Cp932::tableError(), std::nullopt);
}

void TestCp932::everyCode_decodesAsQtsConverter()
{
    QByteArray valid;
    QString validText;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const QByteArray code(1, char(b));
        const char16_t expected = isCp932LeadByte(uchar(b)) ? Cp932Table::Invalid : qtDecoded(code);
        QCOMPARE(Cp932::decode(code), QString(QChar(expected)));
    }
    int validPairs = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isCp932LeadByte(uchar(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const QByteArray code = QByteArray(1, char(lead)) + char(trail);
            const char16_t expected = isCp932TrailByte(uchar(trail)) ? qtDecoded(code) : Cp932Table::Invalid;
            if (expected == Cp932Table::Invalid) {
                // The lead byte stands alone, and the trail byte is read again on its own.
                QCOMPARE(Cp932::decode(code), u'\uFFFD' + Cp932::decode(code.mid(1)));
                continue;
            }
            QCOMPARE(Cp932::decode(code), QString(QChar(expected)));
            ++validPairs;
        }
    }
    QCOMPARE(validPairs, 9604);
    // Microsoft's choices where code pages 932 differ, and the ASCII bytes as themselves (ICU's table swaps 0x1A,
    // 0x1C and 0x7F).
    QCOMPARE(Cp932::decode("a\\~\xB1\x1A\x1C\x7F"), u"a\\~ｱ\x1A\x1C\x7F"_s);
    QCOMPARE(Cp932::decode("\x81\x60\x81\x5F\x81\x7C\xED\x40\xFA\x5C"), u"\uFF5E\uFF3C\uFF0D\u7E8A\u7E8A"_s);
}

void TestCp932::everyCharacter_encodesAsQtsConverter()
{
    // Where several codes decode to one character, the code chosen is the one Microsoft's converter writes. Qt's
    // also writes a character or two as the code of another (U+F86F as 0x8782, "№"); those are refused, since the
    // text would read back changed.
    int encoded = 0;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString text = QChar(char16_t(c));
        QStringEncoder qt("windows-31j", QStringConverter::Flag::Stateless);
        const QByteArray expected = qt(text);
        const std::optional<QByteArray> ours = Cp932::encode(text);
        if (qt.hasError() || qtDecoded(expected) != c) {
            QVERIFY2(!ours, qPrintable(QString::number(c, 16)));
            continue;
        }
        QVERIFY2(ours, qPrintable(QString::number(c, 16)));
        QCOMPARE(*ours, expected);
        ++encoded;
    }
    QCOMPARE(encoded, 9269);
}

void TestCp932::invalidBytes_decodeAsReplacement()
{
    QCOMPARE(Cp932::decode("\x80"), u"\uFFFD"_s);
    // A lead byte without its trail byte, at the end and before a line end.
    QCOMPARE(Cp932::decode("a\x82"), u"a\uFFFD"_s);
    QCOMPARE(Cp932::decode("\x82\r\n"), u"\uFFFD\r\n"_s);
}

void TestCp932::everyCode_encodesBackWhenQtWritesIt()
{
    // Each byte and each pair of bytes: the decoding says it encodes back exactly when it holds no invalid byte
    // and Qt's converter writes what it decodes to as those very bytes; encoding back then gives them.
    int reversible = 0;
    for (int code = 0; code < 0x10000; ++code) {
        const QByteArray bytes = code < 0x100 ? QByteArray(1, char(code)) : QByteArray(1, char(code >> 8)) + char(code);
        char16_t unit[2] = {};
        const Cp932::Decoded decoded = Cp932::decodeInto(bytes, unit);
        const QString text = QString(reinterpret_cast<const QChar*>(unit), decoded.units);
        const bool qtWritesIt = !text.contains(u'\uFFFD') && Cp932::encode(text) == bytes;
        QVERIFY2(decoded.reversible == qtWritesIt, qPrintable(QString::number(code, 16)));
        if (!decoded.reversible)
            continue;
        char back[4] = {};
        QCOMPARE(QByteArray(back, Cp932::encodeDecodedInto(text, back)), bytes);
        ++reversible;
    }
    QVERIFY2(reversible > 7000, qPrintable(QString::number(reversible)));
    // The NEC-selected IBM extensions and the 0x87 row repeat characters that Qt writes elsewhere.
    char16_t unit[4] = {};
    QCOMPARE(Cp932::decodeInto("\xED\x40", unit).reversible, false);
    QCOMPARE(Cp932::decodeInto("\xFA\x5C", unit).reversible, true);
    QCOMPARE(Cp932::decodeInto("\x87\x90", unit).reversible, false);
    QCOMPARE(Cp932::decodeInto("\x81\xE0", unit).reversible, true);
    QCOMPARE(Cp932::decodeInto("ab\x82\xA0", unit).reversible, true);
}

void TestCp932::everyCode_agreesWithWindowsConverter()
{
    if (!WindowsConverter::available())
        QSKIP("Windows' own converter is there only on Windows, or under Wine");
    // Where the program's table and Windows part, by code: the single bytes 0x80, 0xA0 and 0xFD to 0xFF, which
    // Windows gives the control character U+0080 and the private use U+F8F0 to U+F8F3 (one way only, except
    // 0x80). The program sees no character in them: it keeps such bytes as they were read, and refuses the five
    // characters when typed.
    const QStringList explained { u"decode 0x80: ours U+FFFD, Windows U+0080"_s,
        u"encode U+0080: ours refused, Windows 0x80"_s, u"encode U+F8F0: ours refused, Windows 0xA0"_s,
        u"encode U+F8F1: ours refused, Windows 0xFD"_s, u"encode U+F8F2: ours refused, Windows 0xFE"_s,
        u"encode U+F8F3: ours refused, Windows 0xFF"_s };
    QStringList differences;
    int compared = 0;
    for (int code = 0; code < 0x10000; ++code) {
        const bool pair = code >= 0x100;
        if (pair ? !isCp932LeadByte(uchar(code >> 8)) || !isCp932TrailByte(uchar(code)) : isCp932LeadByte(uchar(code)))
            continue;
        const QByteArray bytes = pair ? QByteArray(1, char(code >> 8)) + char(code) : QByteArray(1, char(code));
        const QString ours = Cp932::decode(bytes);
        const std::optional<QString> windows = WindowsConverter::decode(bytes);
        if (windows ? ours != *windows : !ours.contains(u'\uFFFD'))
            differences.append(
                u"decode %1: ours %2, Windows %3"_s.arg(hexCode(bytes), unicodeNames(ours), unicodeNames(windows)));
        ++compared;
    }
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString text = QChar(char16_t(c));
        const std::optional<QByteArray> ours = Cp932::encode(text);
        const std::optional<QByteArray> windows = WindowsConverter::encode(text);
        if (ours != windows)
            differences.append(u"encode %1: ours %2, Windows %3"_s.arg(
                unicodeNames(text), ours ? hexCode(*ours) : u"refused"_s, windows ? hexCode(*windows) : u"refused"_s));
        ++compared;
    }
    qInfo("%d codes and characters compared with Windows' converter", compared);
    for (const QString& difference : std::as_const(differences))
        qInfo("%s", qPrintable(difference));
    QCOMPARE(differences, explained);
}

void TestCp932::typedText_isEncodedOrRefused()
{
    QCOMPARE(Cp932::encode(u"あア～"_s), std::optional<QByteArray>("\x82\xA0\x83\x41\x81\x60"));
    QVERIFY(!Cp932::encode(u"名前😀"_s));
}

void TestCp932::storedText_keepsItsBytes()
{
    // 0xED40 and 0xFA5C are the same character; each text keeps the code it was read with.
    const StoredText nec = StoredText::fromBytes("\xED\x40");
    const StoredText ibm = StoredText::fromBytes("\xFA\x5C");
    QCOMPARE(nec.text(), ibm.text());
    QCOMPARE(nec.bytes(), QByteArray("\xED\x40"));
    QCOMPARE(ibm.bytes(), QByteArray("\xFA\x5C"));
    QVERIFY(!(nec == ibm));
}

void TestCp932::missingConverter_isReportedAndDecodesNothing()
{
    // An ICU built without its converter data (as some are on Windows) fails here; the programs show this message
    // at start and end.
    Cp932Table table;
    const std::optional<QString> failure = Cp932Table::load("no-such-table", &table);
    QVERIFY(failure);
    QVERIFY2(failure->contains(u"コードページ 932") && failure->contains(u"no-such-table"), qPrintable(*failure));
    QCOMPARE(table.single[0x41], u'A');
    QCOMPARE(table.single[0xB1], Cp932Table::Invalid);
    QCOMPARE(table.pair[0x82A0], Cp932Table::Invalid);
    QCOMPARE(table.code[u'あ'], 0);
}

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
