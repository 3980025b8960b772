#include "fakerows.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

class tst_ListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modelStaysConsistent_throughFillsSortsAndTicks();
    void rowsAscendByColumnText_data();
    void rowsAscendByColumnText();
    void checkBox_isTheSourcesTick_changedByCode_raisesNoItemCheck_byView_asksOnce();
    void columnOrdered_once_untilItsTextsChange();
};

void tst_ListModel::modelStaysConsistent_throughFillsSortsAndTicks()
{
    auto rows = std::make_unique<FakeRows>(QStringList { u"c"_s, u"a"_s, u"b"_s, u"a"_s, u"d"_s });
    FakeRows& source = *rows;
    ReportListModel model(std::move(rows));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.setHeaderTexts(tenTitles);
    QCOMPARE(model.columnCount(), 10);
    QCOMPARE(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(), u"No,"_s);
    model.setRows({ 1, 3, 5 });
    QCOMPARE(model.rowCount(), 3);
    model.setSortKey(2);
    source.ticks[size_t(model.record(1))] = true;
    model.checkChanged(1);
    QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!model.setData(model.index(0, 4), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(!model.flags(model.index(0, 4)).testFlag(Qt::ItemIsUserCheckable));
    model.setHeaderText(1, u"1"_s);
    model.setRows({});
    model.setSortKey(0);
    model.setRows(rowsOf({ 2, 4 }));
    QCOMPARE(model.data(model.index(1, 0), Qt::DisplayRole).toString(), u"a"_s);
    QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
}

void tst_ListModel::rowsAscendByColumnText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("order");

    QTest::newRow("hiragana and katakana by reading")
        << QStringList { u"いえ"_s, u"アウ"_s, u"あい"_s } << QList<int> { 3, 2, 1 };
    QTest::newRow("katakana among hiragana")
        << QStringList { u"ねこ"_s, u"きつね"_s, u"カメ"_s, u"うさぎ"_s } << QList<int> { 4, 3, 2, 1 };
    QTest::newRow("equal texts keep record order")
        << QStringList { u"b"_s, u"a"_s, u"b"_s, u"a"_s, u"b"_s } << QList<int> { 2, 4, 1, 3, 5 };
    QTest::newRow("zero-padded numbers") << QStringList { u"0010"_s, u"0002"_s, u"0100"_s, u"0001"_s }
                                         << QList<int> { 4, 2, 1, 3 };

    // Enough records to be ordered in two halves on two threads and merged; every number three times, so that
    // equal texts meet from both halves, after a prefix longer than the keys' inline part.
    QStringList many;
    std::vector<std::pair<int, int>> numberAndRecord;
    for (int record = 1; record <= 30000; ++record) {
        const int number = record * 7919 % 10007;
        many << u"あいうえおかきくけこ%1"_s.arg(number, 5, 10, QLatin1Char('0'));
        numberAndRecord.push_back({ number, record });
    }
    std::sort(numberAndRecord.begin(), numberAndRecord.end());
    QList<int> manyOrder;
    for (const auto& [number, record] : numberAndRecord)
        manyOrder << record;
    QTest::newRow("halves ordered apart and merged") << many << manyOrder;
}

void tst_ListModel::rowsAscendByColumnText()
{
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, order);
    ReportListModel model(std::make_unique<FakeRows>(texts));
    model.setHeaderTexts(tenTitles);

    QList<int> records;
    for (int record = 1; record <= texts.size(); ++record)
        records << record;
    model.setRows(rowsOf(records));
    QCOMPARE(recordsOf(model), order);

    // Rows given in another order come out the same.
    std::reverse(records.begin(), records.end());
    model.setRows(rowsOf(records));
    QCOMPARE(recordsOf(model), order);
}

void tst_ListModel::checkBox_isTheSourcesTick_changedByCode_raisesNoItemCheck_byView_asksOnce()
{
    auto rows = std::make_unique<FakeRows>(QStringList { u"a"_s, u"b"_s, u"c"_s });
    FakeRows& source = *rows;
    ReportListModel model(std::move(rows));
    model.setHeaderTexts(tenTitles);
    model.setRows(rowsOf({ 1, 2, 3 }));
    QSignalSpy itemCheck(&model, &ReportListModel::itemCheck);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    // A tick its owner changed: the one box is drawn anew, and nothing is raised.
    source.ticks[size_t(model.record(1))] = true;
    model.checkChanged(1);
    QVERIFY(model.isChecked(1));
    QCOMPARE(itemCheck.count(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));

    // Through the view the list only asks: unanswered, the tick stays as it was.
    QVERIFY(!model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(!source.ticks[size_t(model.record(2))]);
    QCOMPARE(itemCheck.count(), 1);
    QCOMPARE(itemCheck.at(0).at(0).toInt(), 2);

    // Answered as the records' owner answers it.
    connect(&model, &ReportListModel::itemCheck, &model, [&](int row) {
        source.ticks[size_t(model.record(row))] = !source.ticks[size_t(model.record(row))];
        model.checkChanged(row);
    });
    QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model.isChecked(2));
    QCOMPARE(itemCheck.count(), 2);
    QCOMPARE(changed.count(), 2);

    // The same state again is no change, so nothing is raised.
    QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(itemCheck.count(), 2);

    QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!source.ticks[size_t(model.record(1))]);
    QVERIFY(!model.isChecked(1));
    QCOMPARE(itemCheck.count(), 3);
    QCOMPARE(itemCheck.at(2).at(0).toInt(), 1);

    // The box shows what the record holds now, with no copy of its own to fall behind.
    source.ticks[size_t(model.record(0))] = true;
    QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
}

void tst_ListModel::columnOrdered_once_untilItsTextsChange()
{
    auto rows = std::make_unique<FakeRows>(QStringList { u"e"_s, u"d"_s, u"c"_s, u"b"_s, u"a"_s, u"f"_s });
    FakeRows& source = *rows;
    source.changing = QStringList { u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s };
    ReportListModel model(std::move(rows));
    model.setHeaderTexts(tenTitles);

    model.setRows(rowsOf({ 2, 4, 6 }));
    QCOMPARE(recordsOf(model), (QList<int> { 4, 2, 6 }));
    QCOMPARE(source.calls(0), 6);
    model.setRows(rowsOf({ 1, 3, 5 }));
    QCOMPARE(recordsOf(model), (QList<int> { 5, 3, 1 }));
    QCOMPARE(source.calls(0), 6);

    model.setSortKey(1);
    QCOMPARE(recordsOf(model), (QList<int> { 1, 3, 5 }));
    QCOMPARE(source.calls(1), 6);
    model.setRows(rowsOf({ 2, 4 }));
    QCOMPARE(source.calls(1), 6);
    // Told that the column's texts changed, the model orders it afresh: the new texts decide.
    source.changing = QStringList { u"6"_s, u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s };
    model.forgetOrder(1);
    model.setRows(rowsOf({ 1, 3, 5 }));
    QCOMPARE(recordsOf(model), (QList<int> { 5, 3, 1 }));
    QCOMPARE(source.calls(1), 12);

    // Back on column 0, its kept order serves without asking for its texts again.
    model.setSortKey(0);
    QCOMPARE(recordsOf(model), (QList<int> { 5, 3, 1 }));
    QCOMPARE(source.calls(0), 6);
}

QTEST_MAIN(tst_ListModel)
#include "tst_listmodel.moc"
