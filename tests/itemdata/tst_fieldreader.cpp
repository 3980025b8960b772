#include "itemdata/fieldreader.h"

#include <QTest>

using namespace kuranote;

class TestFieldReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsFields_data();
    void readsFields();
    void countsLines();
    void parseDecimal_data();
    void parseDecimal();
};

void TestFieldReader::readsFields_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArrayList>("fields");

    QTest::newRow("quoted and bare") << QByteArray("\"a b\",12,x\r\n") << QByteArrayList { "a b", "12", "x" };
    QTest::newRow("comma inside quotes") << QByteArray("\"a,b\",c\r\n") << QByteArrayList { "a,b", "c" };
    QTest::newRow("empty quoted and bare") << QByteArray("\"\",,\"\"\r\n") << QByteArrayList { "", "", "" };
    QTest::newRow("blanks before a field skipped") << QByteArray("  \"a\",   b\r\n") << QByteArrayList { "a", "b" };
    QTest::newRow("trailing blanks of a bare field dropped")
        << QByteArray("ab  ,c\r\n") << QByteArrayList { "ab", "c" };
    QTest::newRow("text after the closing quote skipped")
        << QByteArray("\"a\"xyz,b\r\n") << QByteArrayList { "a", "b" };
    QTest::newRow("line end ends a field like a comma") << QByteArray("a\r\nb\r\n") << QByteArrayList { "a", "b" };
    QTest::newRow("empty line is an empty field") << QByteArray("a\r\n\r\nb") << QByteArrayList { "a", "", "b" };
    QTest::newRow("lone LF ends a line") << QByteArray("a\nb\n") << QByteArrayList { "a", "b" };
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r") << QByteArrayList { "a", "b" };
    QTest::newRow("quoted text runs over a line end") << QByteArray("\"a\r\nb\",c") << QByteArrayList { "a\r\nb", "c" };
    QTest::newRow("unclosed quote runs to the end") << QByteArray("\"abc") << QByteArrayList { "abc" };
    QTest::newRow("no line end after the last field") << QByteArray("a,b") << QByteArrayList { "a", "b" };
    // 0x5C and 0x7C as second bytes of double-byte characters are no delimiters anyway; 0x83 0x5C is "ソ".
    QTest::newRow("double-byte characters")
        << QByteArray("\"\x83\x5C\",\x95\x5C\r\n") << QByteArrayList { "\x83\x5C", "\x95\x5C" };
}

void TestFieldReader::readsFields()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArrayList, fields);
    FieldReader reader(data);
    QByteArrayList read;
    while (!reader.atEnd())
        read.append(reader.readField().toByteArray());
    QCOMPARE(read, fields);
}

void TestFieldReader::countsLines()
{
    const QByteArray data("a,b\r\n\"c\r\nd\",e\nf\rg");
    FieldReader reader(data);
    QList<int> lines;
    while (!reader.atEnd()) {
        reader.readField();
        lines.append(reader.fieldLine());
    }
    QCOMPARE(lines, (QList<int> { 1, 1, 2, 3, 4, 5 }));
}

void TestFieldReader::parseDecimal_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");

    QTest::newRow("digits") << QByteArray("255") << true << 255.0;
    QTest::newRow("blanks around") << QByteArray(" 7 ") << true << 7.0;
    QTest::newRow("negative") << QByteArray("-3") << true << -3.0;
    QTest::newRow("fraction") << QByteArray("5475.5") << true << 5475.5;
    QTest::newRow("empty") << QByteArray("") << false << 0.0;
    QTest::newRow("word") << QByteArray("abc") << false << 0.0;
    QTest::newRow("digits then word") << QByteArray("12abc") << false << 0.0;
    QTest::newRow("sign alone") << QByteArray("-") << false << 0.0;
    QTest::newRow("full-width digits") << QByteArray("\x82\x50") << false << 0.0;
}

void TestFieldReader::parseDecimal()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> parsed = kuranote::parseDecimal(field);
    QCOMPARE(parsed.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*parsed, value);
}

QTEST_APPLESS_MAIN(TestFieldReader)
#include "tst_fieldreader.moc"
