#include "itemdata/cp932.h"
#include "itemdata/storedtext.h"

#include <QStringDecoder>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

class TestCp932 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryCodeAsQtDoes();
    void invalidBytes_decodeAsReplacement();
    void everyCode_encodesBackWhenQtWritesIt();
    void typedText_isEncodedOrRefused();
    void storedText_keepsItsBytes();
};

void TestCp932::decodesEveryCodeAsQtDoes()
{
    // Every double-byte code, one at a time, against Qt's own converter.
    int compared = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead >= 0xA0 && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const QByteArray code = QByteArray(1, char(lead)) + char(trail);
            QStringDecoder qt("windows-31j", QStringConverter::Flag::Stateless);
            const QString expected = qt(code);
            if (qt.hasError() || expected.size() != 1 || expected[0] == u'\x1a')
                continue;
            QCOMPARE(Cp932::decode(code), expected);
            ++compared;
        }
    }
    QVERIFY2(compared > 7000, qPrintable(QString::number(compared)));
    QCOMPARE(Cp932::decode("a\\~\xB1"), u"a\\~ｱ"_s);
    QCOMPARE(Cp932::decode("\x81\x60\x81\x5F"), u"\uFF5E\uFF3C"_s);
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

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
