#include "checklist/search_window/form2.h"
#include "checklistfixture.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/treeview.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Name order: いす 0002, うちわ 0004, かさ 0003, りんご 0001; Set1 order: 0004, 0002, 0001, 0003.
// Villager 1 has 1 of 4, villagers 2 and 3 have 2 of 4, villager 4 has 3 of 4.
std::vector<TestItem> catalogue()
{
    return {
        { u"りんご"_s, u"くだもの"_s, {}, {}, u"120"_s, {}, {}, { 0, 1, 0, 1 } },
        { u"いす"_s, u"かぐ"_s, {}, {}, u"800"_s, {}, {}, { 1, 0, 1, 1 } },
        { u"かさ"_s, u"ざっか"_s, {}, {}, u"1500"_s, {}, {}, { 0, 0, 1, 1 } },
        { u"うちわ"_s, u"あき"_s, {}, {}, u"300"_s, {}, {}, { 0, 1, 0, 0 } },
    };
}

// Narrow columns, so that every column title lies inside the list and can be clicked.
QByteArrayList settingsWithNarrowColumns()
{
    QByteArrayList lines = settingsLines();
    for (int line = 18; line <= 27; ++line)
        lines[line - 1] = line == 18 ? "1800" : "330";
    return lines;
}

[[nodiscard]] bool openChecklist(ChecklistFixture& fx)
{
    fx.writeCatalogue(catalogue());
    fx.writeSettings(settingsWithNarrowColumns());
    if (!fx.load())
        return false;
    fx.form->show();
    return QTest::qWaitForWindowExposed(fx.form.get());
}

enum class Route { Mouse, Space, Enter, DoubleClick };

QModelIndex firstCell(ListView* list, int row)
{
    return list->items().index(row, 0);
}

void toggleBy(Route route, ListView* list, int row)
{
    const QRect cell = list->visualRect(firstCell(list, row));
    switch (route) {
    case Route::Mouse:
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 10, cell.center().y()));
        break;
    case Route::Space:
        list->setCurrentIndex(firstCell(list, row));
        QTest::keyClick(list, Qt::Key_Space);
        break;
    case Route::Enter:
        list->setCurrentIndex(firstCell(list, row));
        QTest::keyClick(list, Qt::Key_Return);
        break;
    case Route::DoubleClick:
        // On the item's name, well right of its check box.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        break;
    }
}

int rowOfItem(const ReportListModel& list, const QString& number)
{
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.cellText(row, 9) == number)
            return row;
    }
    return -1;
}

QStringList itemNumbersInOrder(const ReportListModel& list)
{
    QStringList numbers;
    for (int row = 0; row < list.rowCount(); ++row)
        numbers.append(list.cellText(row, 9));
    return numbers;
}

// Every flag of every item record, villager by villager.
QList<int> allFlags(const ItemTable& items)
{
    QList<int> flags;
    for (int record = 2; record <= items.count(); ++record) {
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            flags.append(items.flag(record, villager));
    }
    return flags;
}

QList<bool> checkStates(const ReportListModel& list)
{
    QList<bool> states;
    for (int row = 0; row < list.rowCount(); ++row)
        states.append(list.isChecked(row));
    return states;
}

} // namespace

Q_DECLARE_METATYPE(Route)

class TestListInteraction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tickAndUntick_data();
    void tickAndUntick();
    void enterOrDoubleClick_withoutSelectedRow_doesNothing();
    void columnTitleClick_sortsAscending_untilSortButtonOverrides();
    void faceButton_hidesAndShowsTheSameSearchWindow();
    void faceButton_afterSearchWindowClosed_followsSeekshown();
};

void TestListInteraction::tickAndUntick_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<int>("villager");
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<bool>("unacquiredOnly");
    QTest::addColumn<QString>("countBefore");
    QTest::addColumn<QString>("percentBefore");
    QTest::addColumn<QString>("countAfter");
    QTest::addColumn<QString>("percentAfter");

    struct Figures
    {
        int villager;
        bool unacquiredOnly;
        QString countBefore, percentBefore, countAfter, percentAfter;
    };
    const std::vector<Figures> figures {
        { 1, false, u"1/4"_s, u"25.0%"_s, u"2/4"_s, u"50.0%"_s },
        { 2, false, u"2/4"_s, u"50.0%"_s, u"3/4"_s, u"75.0%"_s },
        { 3, false, u"2/4"_s, u"50.0%"_s, u"3/4"_s, u"75.0%"_s },
        { 4, false, u"3/4"_s, u"75.0%"_s, u"4/4"_s, u"100%"_s },
        { 1, true, u"0/3"_s, u"0%"_s, u"1/3"_s, u"33.3%"_s },
        { 2, true, u"0/2"_s, u"0%"_s, u"1/2"_s, u"50.0%"_s },
        { 3, true, u"0/2"_s, u"0%"_s, u"1/2"_s, u"50.0%"_s },
        { 4, true, u"0/1"_s, u"0%"_s, u"1/1"_s, u"100%"_s },
    };
    const std::vector<std::pair<Route, const char*>> routes { { Route::Mouse, "mouse" }, { Route::Space, "space" },
        { Route::Enter, "enter" }, { Route::DoubleClick, "double-click" } };
    for (const auto& [route, routeName] : routes) {
        for (const Figures& f : figures) {
            for (int sortColumn : { 0, 4 }) {
                QTest::addRow("%s, villager %d, %s, sorted by %d", routeName, f.villager,
                    f.unacquiredOnly ? "unacquired" : "all", sortColumn)
                    << route << f.villager << sortColumn << f.unacquiredOnly << f.countBefore << f.percentBefore
                    << f.countAfter << f.percentAfter;
            }
        }
    }
}

void TestListInteraction::tickAndUntick()
{
    QFETCH(Route, route);
    QFETCH(int, villager);
    QFETCH(int, sortColumn);
    QFETCH(bool, unacquiredOnly);
    QFETCH(QString, countBefore);
    QFETCH(QString, percentBefore);
    QFETCH(QString, countAfter);
    QFETCH(QString, percentAfter);

    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    ReportListModel& list = ui(form).ListView1->items();
    if (villager != 1)
        ui(form).btnchg1[size_t(villager - 1)]->trigger();
    if (unacquiredOnly)
        QTest::mouseClick(ui(form.loadSearchWindowIfClosed()).Command2, Qt::LeftButton);
    if (sortColumn != 0)
        clickColumnTitle(ui(form).ListView1, sortColumn);
    QCOMPARE(list.sortKey(), sortColumn);
    QCOMPARE(ui(form).lbl1->text(), countBefore);
    QCOMPARE(ui(form).lbl2->text(), percentBefore);

    // The first item, in item-number order, that the villager has not got.
    int record = 2;
    while (fx.document.items().flag(record, villager) != 0)
        ++record;
    const QString number = u"%1"_s.arg(record - 1, 4, 10, QLatin1Char('0'));
    const int row = rowOfItem(list, number);
    QVERIFY(row >= 0);
    const QList<int> flagsBefore = allFlags(fx.document.items());
    const int rowsBefore = list.rowCount();
    const qint32 getcountBefore = fx.document.getcount();
    const int barBefore = ui(form).lbl100->width();

    toggleBy(route, ui(form).ListView1, row);
    QVERIFY(list.isChecked(row));
    QCOMPARE(list.rowCount(), rowsBefore);
    QList<int> expectedFlags = flagsBefore;
    expectedFlags[(record - 2) * 4 + villager - 1] = 1;
    QCOMPARE(allFlags(fx.document.items()), expectedFlags);
    QCOMPARE(fx.document.getcount(), getcountBefore + 1);
    QCOMPARE(ui(form).lbl1->text(), countAfter);
    QCOMPARE(ui(form).lbl2->text(), percentAfter);
    QVERIFY(ui(form).lbl100->width() > barBefore);
    QCOMPARE(ui(form).imgconp->isVisible(), percentAfter == u"100%");
    if (percentAfter == u"100%")
        QCOMPARE(ui(form).lbl100->width(), ui(form).lbl0->width());

    toggleBy(route, ui(form).ListView1, row);
    QVERIFY(!list.isChecked(row));
    QCOMPARE(allFlags(fx.document.items()), flagsBefore);
    QCOMPARE(fx.document.getcount(), getcountBefore);
    QCOMPARE(ui(form).lbl1->text(), countBefore);
    QCOMPARE(ui(form).lbl2->text(), percentBefore);
    QCOMPARE(ui(form).lbl100->width(), barBefore);
    QVERIFY(!ui(form).imgconp->isVisible());
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestListInteraction::enterOrDoubleClick_withoutSelectedRow_doesNothing()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    ReportListModel& list = ui(form).ListView1->items();
    QCOMPARE(ui(form).ListView1->selectedRow(), -1);
    const QList<int> flags = allFlags(fx.document.items());
    const QList<bool> checks = checkStates(list);

    QTest::keyClick(ui(form).ListView1, Qt::Key_Return);
    // Below the last row.
    const QPoint empty(
        40, ui(form).ListView1->visualRect(firstCell(ui(form).ListView1, list.rowCount() - 1)).bottom() + 20);
    QVERIFY(ui(form).ListView1->viewport()->rect().contains(empty));
    QTest::mouseDClick(ui(form).ListView1->viewport(), Qt::LeftButton, {}, empty);
    QCOMPARE(ui(form).ListView1->selectedRow(), -1);
    QCOMPARE(allFlags(fx.document.items()), flags);
    QCOMPARE(checkStates(list), checks);
    QCOMPARE(fx.document.getcount(), 1);
    QCOMPARE(ui(form).lbl1->text(), u"1/4"_s);

    // An empty list has nothing to select either.
    ui(form.loadSearchWindowIfClosed()).txtseek->setText(u"ないもの"_s);
    QCOMPARE(list.rowCount(), 0);
    QTest::keyClick(ui(form).ListView1, Qt::Key_Return);
    QTest::mouseDClick(ui(form).ListView1->viewport(), Qt::LeftButton, {}, QPoint(40, 20));
    QCOMPARE(allFlags(fx.document.items()), flags);
    QCOMPARE(fx.document.getcount(), 0);
    QCOMPARE(ui(form).lbl1->text(), u"0/0"_s);
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestListInteraction::columnTitleClick_sortsAscending_untilSortButtonOverrides()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    Form2* seek = form.loadSearchWindowIfClosed();
    ReportListModel& list = ui(form).ListView1->items();
    QSignalSpy refills(&list, &QAbstractItemModel::modelReset);
    const QString seekTitle = seek->windowTitle();
    QCOMPARE(itemNumbersInOrder(list), QStringList({ u"0002"_s, u"0004"_s, u"0003"_s, u"0001"_s }));

    struct Click
    {
        int column;
        QStringList order;
    };
    const std::vector<Click> clicks {
        { 4, { u"0004"_s, u"0002"_s, u"0001"_s, u"0003"_s } }, // Set1
        { 4, { u"0004"_s, u"0002"_s, u"0001"_s, u"0003"_s } }, // the same title again: still ascending
        { 7, { u"0001"_s, u"0003"_s, u"0004"_s, u"0002"_s } }, // Sell, by text: "120" "1500" "300" "800"
        { 1, { u"0002"_s, u"0003"_s, u"0001"_s, u"0004"_s } }, // villager 2's flags, ties in item order
    };
    for (const Click& click : clicks) {
        clickColumnTitle(ui(form).ListView1, click.column);
        QCOMPARE(ui(form).ListView1->sortKey(), click.column);
        QCOMPARE(itemNumbersInOrder(list), click.order);
        QCOMPARE(ui(seek).Command1->text(), u"名前順"_s);
        QCOMPARE(seek->windowTitle(), seekTitle);
    }
    QCOMPARE(refills.count(), 0);

    clickColumnTitle(ui(form).ListView1, 4);
    QTest::mouseClick(ui(seek).Command1, Qt::LeftButton);
    QCOMPARE(ui(seek).Command1->text(), u"No順"_s);
    QCOMPARE(ui(form).ListView1->sortKey(), 9);
    QCOMPARE(itemNumbersInOrder(list), QStringList({ u"0001"_s, u"0002"_s, u"0003"_s, u"0004"_s }));

    clickColumnTitle(ui(form).ListView1, 4);
    QCOMPARE(ui(seek).Command1->text(), u"No順"_s);
    QTest::mouseClick(ui(seek).Command1, Qt::LeftButton);
    QCOMPARE(ui(seek).Command1->text(), u"名前順"_s);
    QCOMPARE(ui(form).ListView1->sortKey(), 0);
    QCOMPARE(itemNumbersInOrder(list), QStringList({ u"0002"_s, u"0004"_s, u"0003"_s, u"0001"_s }));
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestListInteraction::faceButton_hidesAndShowsTheSameSearchWindow()
{
    ChecklistFixture fx;
    fx.writeWords({ u"家具"_s, u"\\いす"_s });
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    Form2* seek = form.loadSearchWindowIfClosed();
    QVERIFY(seek->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(-1));
    ui(seek).txtseek->setText(u"か"_s);
    QTest::mouseClick(ui(seek).Command2, Qt::LeftButton);
    QTest::mouseClick(ui(seek).Command1, Qt::LeftButton);
    const QString title = seek->windowTitle();
    QCOMPARE(title, u"検索(か/未取得/No順)"_s);
    QCOMPARE(ui(seek).TreeView1->topLevelItemCount(), 2);
    QSignalSpy refills(&ui(form).ListView1->items(), &QAbstractItemModel::modelReset);

    QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
    QVERIFY(!seek->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(0));
    QCOMPARE(form.loadSearchWindowIfClosed(), seek);

    QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
    QVERIFY(seek->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(-1));
    QCOMPARE(form.loadSearchWindowIfClosed(), seek);
    QCOMPARE(seek->windowTitle(), title);
    QCOMPARE(ui(seek).txtseek->text(), u"か"_s);
    QCOMPARE(ui(seek).Command2->text(), u"未取得"_s);
    QCOMPARE(ui(seek).Command1->text(), u"No順"_s);
    QCOMPARE(ui(seek).TreeView1->topLevelItemCount(), 2);
    QCOMPARE(ui(seek).TreeView1->topLevelItem(1)->childCount(), 1);
    QCOMPARE(refills.count(), 0);
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestListInteraction::faceButton_afterSearchWindowClosed_followsSeekshown()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    form.loadSearchWindowIfClosed()->close();
    QCOMPARE(fx.document.seekshown(), qint16(0));
    QTRY_VERIFY(!form.hasSearchWindow());

    // A closed window comes back loaded afresh and showing.
    QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
    QVERIFY(form.hasSearchWindow());
    QVERIFY(form.loadSearchWindowIfClosed()->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(-1));
    QCOMPARE(ui(form).ListView1->items().rowCount(), 4);

    // Recolouring a closed window loads it hidden, and its load step counts it as showing.
    form.loadSearchWindowIfClosed()->close();
    QTRY_VERIFY(!form.hasSearchWindow());
    ui(form).btnchg1[1]->trigger();
    QVERIFY(form.hasSearchWindow());
    Form2* seek = form.loadSearchWindowIfClosed();
    QVERIFY(!seek->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(-1));
    QCOMPARE(ui(seek).txtseek->text(), u"全アイテム"_s);

    QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
    QVERIFY(!seek->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(0));
    QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
    QVERIFY(seek->isVisible());
    QCOMPARE(fx.document.seekshown(), qint16(-1));
    QCOMPARE(form.loadSearchWindowIfClosed(), seek);
    VERIFY_PROMPTS_DONE(fx.prompts);
}

QTEST_MAIN(TestListInteraction)
#include "tst_listinteraction.moc"
