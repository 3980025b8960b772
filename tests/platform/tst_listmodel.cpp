#include "platform/listmodel.h"
#include "platform/listview.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <atomic>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Records 1 to texts.size(): column 0 holds the record's text; column 1 holds a text a test may change; every
// other column holds the record number; each record keeps its tick. Counts the texts asked for per column.
class FakeRows final : public ListRowSource
{
public:
    explicit FakeRows(QStringList texts)
        : names(std::move(texts))
        , changing(names)
        , ticks(size_t(names.size()) + 1, false)
    {
    }

    int lastRecord() const override { return int(names.size()); }
    bool isChecked(int record) const override { return ticks[size_t(record)]; }
    void setChecked(int record, bool checked) override { ticks[size_t(record)] = checked; }

    QString cellText(int record, int column) const override
    {
        ++m_calls[size_t(column)];
        if (column == 0)
            return names[record - 1];
        if (column == 1)
            return changing[record - 1];
        return QString::number(record);
    }

    int calls(int column) const { return m_calls[size_t(column)]; }

    QStringList names;
    QStringList changing;
    std::vector<bool> ticks; // by record

private:
    // Texts may be asked for from several threads at once.
    mutable std::array<std::atomic<int>, ColumnOrders::ColumnCount> m_calls {};
};

const QStringList tenTitles { u"Item"_s, u"2"_s, u"3"_s, u"4"_s, u"Set1"_s, u"Set2"_s, u"Char"_s, u"Sell"_s, u"etc"_s,
    u"No,"_s };

std::vector<int> rowsOf(const QList<int>& records)
{
    return std::vector<int>(records.begin(), records.end());
}

QList<int> recordsOf(const ReportListModel& model)
{
    QList<int> records;
    for (int row = 0; row < model.rowCount(); ++row)
        records << model.record(row);
    return records;
}

} // namespace

class tst_ListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modelStaysConsistent_throughFillsSortsAndTicks();
    void rowsAscendByColumnText_data();
    void rowsAscendByColumnText();
    void checkBox_isTheSourcesTick_setByCode_raisesNoItemCheck_setByView_raisesItOnce();
    void sortKeyChange_reordersInPlace_selectionAndTicksFollowRecords();
    void columnOrdered_once_untilItsTextsChange();
    void keyAfterRefill_selectsTheRowItLandsOn_data();
    void keyAfterRefill_selectsTheRowItLandsOn();
};

void tst_ListModel::modelStaysConsistent_throughFillsSortsAndTicks()
{
    ReportListModel model(std::make_unique<FakeRows>(QStringList { u"c"_s, u"a"_s, u"b"_s, u"a"_s, u"d"_s }));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.setHeaderTexts(tenTitles);
    QCOMPARE(model.columnCount(), 10);
    QCOMPARE(model.headerData(9, Qt::Horizontal, Qt::DisplayRole).toString(), u"No,"_s);
    model.setRows({ 1, 3, 5 });
    QCOMPARE(model.rowCount(), 3);
    model.setSortKey(2);
    model.setChecked(1, true);
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

void tst_ListModel::checkBox_isTheSourcesTick_setByCode_raisesNoItemCheck_setByView_raisesItOnce()
{
    auto rows = std::make_unique<FakeRows>(QStringList { u"a"_s, u"b"_s, u"c"_s });
    FakeRows& source = *rows;
    ReportListModel model(std::move(rows));
    model.setHeaderTexts(tenTitles);
    model.setRows(rowsOf({ 1, 2, 3 }));
    QSignalSpy itemCheck(&model, &ReportListModel::itemCheck);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.setChecked(1, true);
    QVERIFY(source.ticks[size_t(model.record(1))]);
    QVERIFY(model.isChecked(1));
    QCOMPARE(itemCheck.count(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));

    QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(model.isChecked(2));
    QCOMPARE(itemCheck.count(), 1);
    QCOMPARE(itemCheck.at(0).at(0).toInt(), 2);

    // The same state again is no change, so nothing is raised.
    QVERIFY(model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(itemCheck.count(), 1);

    QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!source.ticks[size_t(model.record(1))]);
    QVERIFY(!model.isChecked(1));
    QCOMPARE(itemCheck.count(), 2);
    QCOMPARE(itemCheck.at(1).at(0).toInt(), 1);

    // The box shows what the record holds now, with no copy of its own to fall behind.
    source.ticks[size_t(model.record(0))] = true;
    QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
}

void tst_ListModel::sortKeyChange_reordersInPlace_selectionAndTicksFollowRecords()
{
    auto rows = std::make_unique<FakeRows>(QStringList { u"c"_s, u"a"_s, u"b"_s, u"d"_s });
    FakeRows& source = *rows;
    source.changing = QStringList { u"2"_s, u"4"_s, u"1"_s, u"3"_s };
    ReportListModel model(std::move(rows));
    model.setHeaderTexts(tenTitles);
    ListView view(model);
    source.ticks[2] = true;
    model.setRows({ 1, 2, 3, 4 });
    QCOMPARE(recordsOf(model), (QList<int> { 2, 3, 1, 4 }));

    // Select record 1, which is in row 2 of the name order.
    view.selectionModel()->select(model.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(view.selectedRow(), 2);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);

    view.setSortKey(1);
    QCOMPARE(view.sortKey(), 1);
    QCOMPARE(recordsOf(model), (QList<int> { 3, 1, 4, 2 }));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(layout.count(), 1);
    QCOMPARE(view.selectedRow(), 1);
    QCOMPARE(model.record(view.selectedRow()), 1);
    QVERIFY(model.isChecked(3));
    QCOMPARE(model.cellText(3, 0), u"a"_s);

    view.setSortKey(0);
    QCOMPARE(recordsOf(model), (QList<int> { 2, 3, 1, 4 }));
    QCOMPARE(model.record(view.selectedRow()), 1);
    QVERIFY(model.isChecked(0));
    QCOMPARE(reset.count(), 0);
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

void tst_ListModel::keyAfterRefill_selectsTheRowItLandsOn_data()
{
    QTest::addColumn<int>("current"); // the current row before the key, -1 for none
    QTest::addColumn<bool>("selected"); // whether that row is selected
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selectedAfter");

    QTest::newRow("refilled, Home") << -1 << false << int(Qt::Key_Home) << 0;
    QTest::newRow("refilled, Down") << -1 << false << int(Qt::Key_Down) << 0;
    QTest::newRow("refilled, Up") << -1 << false << int(Qt::Key_Up) << 0;
    QTest::newRow("refilled, End") << -1 << false << int(Qt::Key_End) << 4;
    QTest::newRow("first row current, Home") << 0 << false << int(Qt::Key_Home) << 0;
    QTest::newRow("last row current, Down") << 4 << false << int(Qt::Key_Down) << 4;
    QTest::newRow("row 2 current, Page Up") << 2 << false << int(Qt::Key_PageUp) << 0;
    QTest::newRow("row 2 selected, Down") << 2 << true << int(Qt::Key_Down) << 3;
    QTest::newRow("row 2 selected, Page Down") << 2 << true << int(Qt::Key_PageDown) << 4;
    QTest::newRow("last row selected, End") << 4 << true << int(Qt::Key_End) << 4;
}

void tst_ListModel::keyAfterRefill_selectsTheRowItLandsOn()
{
    QFETCH(int, current);
    QFETCH(bool, selected);
    QFETCH(int, key);
    QFETCH(int, selectedAfter);
    ReportListModel model(std::make_unique<FakeRows>(QStringList { u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s }));
    model.setHeaderTexts(tenTitles);
    ListView view(model);
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));

    // Refilled while the focus is elsewhere, as when a key is typed in the search window.
    view.clearFocus();
    view.items().setRows(rowsOf({ 1, 2, 3, 4, 5 }));
    view.setFocus(Qt::ActiveWindowFocusReason);
    QVERIFY(view.hasFocus());
    if (current >= 0) {
        const auto command = selected ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                      : QItemSelectionModel::NoUpdate;
        view.selectionModel()->setCurrentIndex(view.items().index(current, 0), command);
    }

    QTest::keyClick(&view, Qt::Key(key));
    QCOMPARE(view.selectedRow(), selectedAfter);
    QCOMPARE(view.currentIndex().row(), selectedAfter);
}

QTEST_MAIN(tst_ListModel)
#include "tst_listmodel.moc"
