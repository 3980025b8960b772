#include "fakerows.h"
#include "platform/widgets/listview.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

class tst_ListView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortKeyChange_reordersInPlace_selectionAndTicksFollowRecords();
    void keyAfterRefill_selectsTheRowItLandsOn_data();
    void keyAfterRefill_selectsTheRowItLandsOn();
};

void tst_ListView::sortKeyChange_reordersInPlace_selectionAndTicksFollowRecords()
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

void tst_ListView::keyAfterRefill_selectsTheRowItLandsOn_data()
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

void tst_ListView::keyAfterRefill_selectsTheRowItLandsOn()
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

QTEST_MAIN(tst_ListView)
#include "tst_listview.moc"
