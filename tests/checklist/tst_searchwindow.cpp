#include "checklistfixture.h"

#include "checklist/search_window/form2.h"
#include "platform/twips.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/outersize.h"
#include "platform/widgets/treeview.h"
#include "platform/widgets/widgetcolors.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QString allItems = u"全アイテム"_s;
const QString startTitle = u"検索(全アイテム/全アイテム/名前順)"_s;

// Records 2 to 4; in name order 4, 3, 2. Villager 1 has acquired record 2.
std::vector<TestItem> sampleItems()
{
    return {
        { u"りんごのいす"_s, u"赤い"_s, {}, u"ねこ"_s, u"1200"_s, {}, {}, { 1, 0, 0, 0 } },
        { u"きつねのランプ"_s, u"青い"_s, {}, u"イヌ"_s, u"800"_s, {}, {}, { 0, 1, 0, 0 } },
        { u"あおいゆか"_s, {}, {}, u"ねずみ"_s, u"50"_s, {}, {}, { 0, 0, 1, 1 } },
    };
}

const QStringList sampleWords { u"家具"_s, u"\\いす"_s, u"\\ランプ"_s, u"色"_s, u"\\赤い"_s, u"ねこ"_s };

enum class Choice { Click, Enter, Space };

class SearchChecklist : public ChecklistFixture
{
public:
    explicit SearchChecklist(const QByteArrayList& settings = settingsLines())
    {
        writeSettings(settings);
        writeCatalogue(sampleItems());
        writeWords(sampleWords);
    }

    // Loads the program and waits until the search window can take clicks.
    bool start() { return load() && QTest::qWaitForWindowExposed(window()); }

    Form2* window() { return form->loadSearchWindowIfClosed(); }
    TreeView* tree() { return ui(window()).TreeView1; }
    ReportListModel& rows() { return ui(form).ListView1->items(); }

    QTreeWidgetItem* node(const QString& text)
    {
        const QList<QTreeWidgetItem*> found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.size() == 1 ? found.first() : nullptr;
    }

    // Opens the node's root when needed, as a user must to reach a child.
    void choose(const QString& text, Choice choice)
    {
        QTreeWidgetItem* chosen = node(text);
        QVERIFY(chosen);
        tree()->scrollToItem(chosen);
        if (choice == Choice::Click) {
            QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(chosen).center());
            return;
        }
        tree()->setCurrentItem(chosen);
        QTest::keyClick(tree(), choice == Choice::Enter ? Qt::Key_Return : Qt::Key_Space);
    }
};

QStringList texts(const QTreeWidgetItem* parent)
{
    QStringList result;
    for (int i = 0; i < parent->childCount(); ++i)
        result << parent->child(i)->text(0);
    return result;
}

QStringList rootTexts(const QTreeWidget* tree)
{
    return texts(tree->invisibleRootItem());
}

bool anyExpanded(const QTreeWidget* tree)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (tree->topLevelItem(i)->isExpanded())
            return true;
    }
    return false;
}

} // namespace

class tst_SearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void start_showsTreeKeyTitleAndMainColour();
    void choosingNode_copiesItsTextIntoKey_data();
    void choosingNode_copiesItsTextIntoKey();
    void movingSelection_leavesKey();
    void choosingAllItems_liftsFilter();
    void sameKeyAgain_doesNotRefill();
    void typedKey_refillsListAndLabels_invalidKeyKeepsLabels();
    void showModeButton_toggles_andRefills();
    void sortButton_toggles_withoutRefill();
    void resize_keepsMinimum_fitsTreeAndKeyBox_storesSize_data();
    void resize_keepsMinimum_fitsTreeAndKeyBox_storesSize();
    void storedZeroSize_givesMinimumOnceShown();
    void closeAndShowAgain_rebuildsWindow_keepsListOrder_data();
    void closeAndShowAgain_rebuildsWindow_keepsListOrder();
    void missingWordFile_givesOnlyAllItems();
};

void tst_SearchWindow::start_showsTreeKeyTitleAndMainColour()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    Form2* window = checklist.window();

    QCOMPARE(window->windowTitle(), startTitle);
    QCOMPARE(ui(window).txtseek->text(), allItems);
    QCOMPARE(rootTexts(ui(window).TreeView1), (QStringList { allItems, u"家具"_s, u"色"_s, u"ねこ"_s }));
    QCOMPARE(texts(checklist.node(u"家具"_s)), (QStringList { u"いす"_s, u"ランプ"_s }));
    QCOMPARE(texts(checklist.node(u"色"_s)), QStringList { u"赤い"_s });
    QCOMPARE(texts(checklist.node(u"ねこ"_s)), QStringList {});
    QCOMPARE(ui(window).TreeView1->selectedItem(), ui(window).TreeView1->topLevelItem(0));
    QVERIFY(!anyExpanded(ui(window).TreeView1));
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 4, 3, 2 }));

    QCOMPARE(window->BackColor(), colorFromBgr(12648384));
    QCOMPARE(window->BackColor(), checklist.form->BackColor());
    QCOMPARE(checklist.document.seekshown(), qint16(-1));
    // The stored 2400 x 4200 twips, with the tree and the key box fitted to it.
    QCOMPARE(Twips::outerSize(window), QSizeF(2400, 4200));
    QCOMPARE(ui(window).TreeView1->size(), QSize(Twips::toPixels(2400 - 375), Twips::toPixels(4200 - 1660)));
    QCOMPARE(ui(window).txtseek->width(), Twips::toPixels(2400 - 1110));
    VERIFY_PROMPTS_DONE(checklist.prompts);
}

void tst_SearchWindow::choosingNode_copiesItsTextIntoKey_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QList<int>>("records");

    QTest::newRow("click on a root") << u"ねこ"_s << Choice::Click << QList<int> { 2 };
    QTest::newRow("click on a child") << u"ランプ"_s << Choice::Click << QList<int> { 3 };
    QTest::newRow("Enter on a child") << u"赤い"_s << Choice::Enter << QList<int> { 2 };
    QTest::newRow("Space on a root") << u"家具"_s << Choice::Space << QList<int> {};
}

void tst_SearchWindow::choosingNode_copiesItsTextIntoKey()
{
    QFETCH(QString, node);
    QFETCH(Choice, choice);
    QFETCH(QList<int>, records);
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    QSignalSpy refills(&checklist.rows(), &QAbstractItemModel::modelReset);

    checklist.choose(node, choice);
    QCOMPARE(ui(checklist.window()).txtseek->text(), node);
    QCOMPARE(refills.count(), 1);
    QCOMPARE(listedRecords(checklist.rows()), records);
    QCOMPARE(checklist.window()->windowTitle(), u"検索(%1/全アイテム/名前順)"_s.arg(node));
}

void tst_SearchWindow::movingSelection_leavesKey()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    TreeView* tree = checklist.tree();
    QSignalSpy refills(&checklist.rows(), &QAbstractItemModel::modelReset);

    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->selectedItem(), checklist.node(u"家具"_s));
    QTest::keyClick(tree, Qt::Key_Up);
    QTest::keyClick(tree, Qt::Key_Down);
    // Typing in the tree jumps to the node that begins with the letter.
    QTest::sendKeyEvent(QTest::Click, tree, Qt::Key_unknown, u"ね"_s, Qt::NoModifier);
    QCOMPARE(tree->selectedItem(), checklist.node(u"ねこ"_s));
    QCOMPARE(ui(checklist.window()).txtseek->text(), allItems);
    QCOMPARE(refills.count(), 0);

    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(ui(checklist.window()).txtseek->text(), u"ねこ"_s);
    QCOMPARE(refills.count(), 1);
}

void tst_SearchWindow::choosingAllItems_liftsFilter()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    checklist.choose(u"ねこ"_s, Choice::Click);
    QCOMPARE(checklist.rows().rowCount(), 1);

    checklist.choose(allItems, Choice::Click);
    QCOMPARE(ui(checklist.window()).txtseek->text(), allItems);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 4, 3, 2 }));
    QCOMPARE(checklist.window()->windowTitle(), startTitle);
}

void tst_SearchWindow::sameKeyAgain_doesNotRefill()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    QSignalSpy refills(&checklist.rows(), &QAbstractItemModel::modelReset);

    checklist.choose(allItems, Choice::Click);
    checklist.choose(allItems, Choice::Enter);
    ui(checklist.window()).txtseek->setText(allItems);
    QCOMPARE(refills.count(), 0);

    checklist.choose(u"ねこ"_s, Choice::Space);
    checklist.choose(u"ねこ"_s, Choice::Click);
    QCOMPARE(refills.count(), 1);
}

void tst_SearchWindow::typedKey_refillsListAndLabels_invalidKeyKeepsLabels()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    QLineEdit* box = ui(checklist.window()).txtseek;
    const MainControls main = ui(checklist.form);
    QCOMPARE(main.lbl1->text(), u"1/3"_s);

    box->setText(u"赤"_s);
    QTest::keyClicks(box, u"?"_s);
    QCOMPARE(listedRecords(checklist.rows()), QList<int> { 2 });
    QCOMPARE(checklist.window()->windowTitle(), u"検索(赤?/全アイテム/名前順)"_s);
    QCOMPARE(main.lbl1->text(), u"1/1"_s);
    QCOMPARE(main.lbl2->text(), u"100%"_s);
    QVERIFY(!main.imgconp->isHidden());

    // An unclosed bracket empties the list, and the figures of the last valid key stay.
    QTest::keyClicks(box, u"["_s);
    QCOMPARE(checklist.rows().rowCount(), 0);
    QCOMPARE(main.lbl1->text(), u"1/1"_s);
    QCOMPARE(main.lbl2->text(), u"100%"_s);
    QVERIFY(!main.imgconp->isHidden());

    box->clear();
    QCOMPARE(main.lbl1->text(), u"1/3"_s);
    QVERIFY(main.imgconp->isHidden());
}

void tst_SearchWindow::showModeButton_toggles_andRefills()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    Form2* window = checklist.window();

    QTest::mouseClick(ui(window).Command2, Qt::LeftButton);
    QCOMPARE(ui(window).Command2->text(), u"未取得"_s);
    QCOMPARE(window->windowTitle(), u"検索(全アイテム/未取得/名前順)"_s);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 4, 3 }));

    QTest::mouseClick(ui(window).Command2, Qt::LeftButton);
    QCOMPARE(ui(window).Command2->text(), allItems);
    QCOMPARE(window->windowTitle(), startTitle);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 4, 3, 2 }));
}

void tst_SearchWindow::sortButton_toggles_withoutRefill()
{
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    Form2* window = checklist.window();
    Form1& form = *checklist.form;
    QSignalSpy refills(&checklist.rows(), &QAbstractItemModel::modelReset);

    QTest::mouseClick(ui(window).Command1, Qt::LeftButton);
    QCOMPARE(ui(window).Command1->text(), u"No順"_s);
    QCOMPARE(ui(form).ListView1->sortKey(), 9);
    QCOMPARE(window->windowTitle(), u"検索(全アイテム/全アイテム/No順)"_s);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 2, 3, 4 }));

    QTest::mouseClick(ui(window).Command1, Qt::LeftButton);
    QCOMPARE(ui(window).Command1->text(), u"名前順"_s);
    QCOMPARE(ui(form).ListView1->sortKey(), 0);
    QCOMPARE(window->windowTitle(), startTitle);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 4, 3, 2 }));
    QCOMPARE(refills.count(), 0);

    // After a column title chose the order, the button still goes by its own caption.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    clickColumnTitle(ui(form).ListView1, 4);
    QCOMPARE(ui(form).ListView1->sortKey(), 4);
    QCOMPARE(ui(window).Command1->text(), u"名前順"_s);
    QTest::mouseClick(ui(window).Command1, Qt::LeftButton);
    QCOMPARE(ui(form).ListView1->sortKey(), 9);
}

void tst_SearchWindow::resize_keepsMinimum_fitsTreeAndKeyBox_storesSize_data()
{
    QTest::addColumn<QSize>("requested"); // outer size, twips
    QTest::addColumn<QSize>("expected");

    QTest::newRow("narrower than the minimum") << QSize(1500, 4500) << QSize(2055, 4500);
    QTest::newRow("lower than the minimum") << QSize(3000, 2010) << QSize(3000, 2995);
    QTest::newRow("both below") << QSize(150, 150) << QSize(2055, 2995);
    QTest::newRow("above the minimum") << QSize(3600, 6000) << QSize(3600, 6000);
}

void tst_SearchWindow::resize_keepsMinimum_fitsTreeAndKeyBox_storesSize()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    Form2* window = checklist.window();
    const QPoint treeAt = ui(window).TreeView1->pos();
    const QRect keyBoxBefore = ui(window).txtseek->geometry();

    Twips::setOuterSize(window, requested.width(), requested.height());
    QCOMPARE(
        window->frameGeometry().size(), QSize(Twips::toPixels(expected.width()), Twips::toPixels(expected.height())));
    QCOMPARE(ui(window).TreeView1->size(),
        QSize(Twips::toPixels(expected.width() - 375), Twips::toPixels(expected.height() - 1660)));
    QCOMPARE(ui(window).txtseek->width(), Twips::toPixels(expected.width() - 1110));
    QCOMPARE(ui(window).TreeView1->pos(), treeAt);
    QCOMPARE(ui(window).txtseek->pos(), keyBoxBefore.topLeft());
    QCOMPARE(ui(window).txtseek->height(), keyBoxBefore.height());
    QCOMPARE(checklist.document.settings().seekwidth, expected.width());
    QCOMPARE(checklist.document.settings().seekheight, expected.height());
}

void tst_SearchWindow::storedZeroSize_givesMinimumOnceShown()
{
    QByteArrayList settings = settingsLines();
    settings[15] = "0";
    settings[16] = "0";
    SearchChecklist checklist(settings);
    QVERIFY(checklist.start());
    Form2* window = checklist.window();

    QCOMPARE(window->frameGeometry().size(), QSize(Twips::toPixels(2055), Twips::toPixels(2995)));
    QCOMPARE(ui(window).TreeView1->height(), Twips::toPixels(1335));
    QCOMPARE(checklist.document.settings().seekwidth, 2055);
    QCOMPARE(checklist.document.settings().seekheight, 2995);
}

void tst_SearchWindow::closeAndShowAgain_rebuildsWindow_keepsListOrder_data()
{
    QTest::addColumn<bool>("byFaceButton");

    QTest::newRow("face button") << true;
    QTest::newRow("shown by code") << false;
}

void tst_SearchWindow::closeAndShowAgain_rebuildsWindow_keepsListOrder()
{
    QFETCH(bool, byFaceButton);
    SearchChecklist checklist;
    QVERIFY(checklist.start());
    Form1& form = *checklist.form;
    Form2* window = checklist.window();
    checklist.choose(u"ねこ"_s, Choice::Click);
    QTest::mouseClick(ui(window).Command2, Qt::LeftButton);
    QTest::mouseClick(ui(window).Command1, Qt::LeftButton);
    Twips::setOuterSize(window, 3000, 4500);
    checklist.writeWords({ u"服"_s, u"\\ぼうし"_s });

    window->close();
    QCOMPARE(checklist.document.seekshown(), qint16(0));
    QTRY_VERIFY(!form.hasSearchWindow());
    QCOMPARE(ui(form).ListView1->sortKey(), 9);

    if (byFaceButton)
        ui(form).Command1->click();
    else
        form.loadSearchWindowIfClosed()->show();
    window = form.loadSearchWindowIfClosed();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(checklist.document.seekshown(), qint16(-1));
    QCOMPARE(ui(window).txtseek->text(), allItems);
    QCOMPARE(ui(window).Command2->text(), allItems);
    QCOMPARE(ui(window).Command1->text(), u"名前順"_s);
    QCOMPARE(window->windowTitle(), startTitle);
    QCOMPARE(rootTexts(ui(window).TreeView1), (QStringList { allItems, u"服"_s }));
    QCOMPARE(texts(checklist.node(u"服"_s)), QStringList { u"ぼうし"_s });
    QCOMPARE(ui(window).TreeView1->selectedItem(), ui(window).TreeView1->topLevelItem(0));
    QCOMPARE(Twips::outerSize(window), QSizeF(3000, 4500));
    // Refilled with every item, still in number order although the caption says name order.
    QCOMPARE(ui(form).ListView1->sortKey(), 9);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 2, 3, 4 }));
}

void tst_SearchWindow::missingWordFile_givesOnlyAllItems()
{
    SearchChecklist checklist;
    QVERIFY(QFile::remove(checklist.path(u"kuraword.csv"_s)));
    QVERIFY(checklist.start());

    TreeView* tree = checklist.tree();
    QCOMPARE(rootTexts(tree), QStringList { allItems });
    QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
    QCOMPARE(tree->selectedItem(), tree->topLevelItem(0));
    QCOMPARE(checklist.rows().rowCount(), 3);
    VERIFY_PROMPTS_DONE(checklist.prompts);
}

QTEST_MAIN(tst_SearchWindow)
#include "tst_searchwindow.moc"
