#include "platform/numberformat.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_NumberFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void itemNumber_data();
    void itemNumber();
    void percent_data();
    void percent();
};

void tst_NumberFormat::itemNumber_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << qint64(0) << u"0000"_s;
    QTest::newRow("one digit") << qint64(1) << u"0001"_s;
    QTest::newRow("three digits") << qint64(999) << u"0999"_s;
    QTest::newRow("four digits") << qint64(9999) << u"9999"_s;
    QTest::newRow("five digits are not cut") << qint64(10000) << u"10000"_s;
    QTest::newRow("six digits") << qint64(123456) << u"123456"_s;
    QTest::newRow("negative keeps four digits") << qint64(-1) << u"-0001"_s;
}

void tst_NumberFormat::itemNumber()
{
    QFETCH(qint64, number);
    QFETCH(QString, expected);
    QCOMPARE(kuranote::formatItemNumber(number), expected);
}

void tst_NumberFormat::percent_data()
{
    QTest::addColumn<int>("acquired");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("none") << 0 << 5 << u"0.0%"_s;
    QTest::newRow("all") << 5 << 5 << u"100.0%"_s;
    QTest::newRow("1/3 rounds down") << 1 << 3 << u"33.3%"_s;
    QTest::newRow("2/3 rounds up") << 2 << 3 << u"66.7%"_s;
    QTest::newRow("exact half, 6.25") << 1 << 16 << u"6.3%"_s;
    QTest::newRow("exact half, 1.25") << 1 << 80 << u"1.3%"_s;
    QTest::newRow("exact half, 0.25") << 1 << 400 << u"0.3%"_s;
    QTest::newRow("exact half, 87.5 needs no rounding") << 7 << 8 << u"87.5%"_s;
    QTest::newRow("3.125 rounds down") << 1 << 32 << u"3.1%"_s;
    QTest::newRow("just below 0.15") << 3 << 2000 << u"0.1%"_s;
    QTest::newRow("just below 0.45") << 9 << 2000 << u"0.4%"_s;
    QTest::newRow("just above 0.65") << 13 << 2000 << u"0.7%"_s;
    QTest::newRow("just above 49.95") << 999 << 2000 << u"50.0%"_s;
    QTest::newRow("just below 50.05") << 1001 << 2000 << u"50.0%"_s;
    QTest::newRow("just above 99.95") << 1999 << 2000 << u"100.0%"_s;
    QTest::newRow("99.9") << 2997 << 3000 << u"99.9%"_s;
    QTest::newRow("99.93 rounds down") << 2998 << 3000 << u"99.9%"_s;
    QTest::newRow("99.97 rounds to 100") << 2999 << 3000 << u"100.0%"_s;
    QTest::newRow("0.03 rounds to 0") << 1 << 3000 << u"0.0%"_s;
    QTest::newRow("more than a whole") << 3 << 2 << u"150.0%"_s;
}

void tst_NumberFormat::percent()
{
    QFETCH(int, acquired);
    QFETCH(int, listed);
    QFETCH(QString, expected);
    QCOMPARE(kuranote::formatPercent(double(acquired) / double(listed)), expected);
}

QTEST_APPLESS_MAIN(tst_NumberFormat)
#include "tst_numberformat.moc"
