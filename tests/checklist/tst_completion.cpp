#include "checklist/completion.h"

#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

class TestCompletion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void figures_data();
    void figures();
};

void TestCompletion::figures_data()
{
    QTest::addColumn<int>("acquired");
    QTest::addColumn<int>("listed");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<float>("bar");
    QTest::addColumn<int>("picture"); // -1 keeps its visibility, 0 hidden, 1 shown

    QTest::newRow("empty list") << 0 << 0 << u"0/0"_s << u"NO DATA"_s << 1.0f << -1;
    QTest::newRow("none of five") << 0 << 5 << u"0/5"_s << u"0%"_s << 1.0f << 0;
    QTest::newRow("one of 3000 rounds to 0%") << 1 << 3000 << u"1/3000"_s << u"0%"_s << 3.645f << 0;
    QTest::newRow("one of three") << 1 << 3 << u"1/3"_s << u"33.3%"_s << 2646.0f << 0;
    QTest::newRow("two of three") << 2 << 3 << u"2/3"_s << u"66.7%"_s << 5291.0f << 0;
    QTest::newRow("one of 16 rounds half up") << 1 << 16 << u"1/16"_s << u"6.3%"_s << 496.9375f << 0;
    QTest::newRow("2999 of 3000 shows the picture") << 2999 << 3000 << u"2999/3000"_s << u"100%"_s << 7933.355f << 1;
    QTest::newRow("all") << 340 << 340 << u"340/340"_s << u"100%"_s << 7936.0f << 1;
}

void TestCompletion::figures()
{
    QFETCH(int, acquired);
    QFETCH(int, listed);
    QFETCH(QString, count);
    QFETCH(QString, percent);
    QFETCH(float, bar);
    QFETCH(int, picture);
    const Completion completion = completionFor(acquired, listed, 7935.0f);
    QCOMPARE(completion.countText, count);
    QCOMPARE(completion.percentText, percent);
    QCOMPARE(completion.barWidth, bar);
    QCOMPARE(completion.pictureVisible.has_value(), picture >= 0);
    if (picture >= 0)
        QCOMPARE(*completion.pictureVisible, picture == 1);
}

QTEST_APPLESS_MAIN(TestCompletion)
#include "tst_completion.moc"
