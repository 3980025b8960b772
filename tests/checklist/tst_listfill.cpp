#include "checklistfixture.h"

#include "checklist/search_window/form2.h"
#include "platform/listview.h"
#include "platform/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Records 2 to 5; in name order 5, 3, 4, 2. Villager 1 has acquired records 2 and 5.
std::vector<TestItem> sampleItems()
{
    return {
        { u"りんごのいす"_s, u"赤い"_s, u"帽子"_s, u"ねこ"_s, u"1200"_s, u"abc"_s, u"isu"_s, { 1, 0, 1, 0 } },
        { u"きつねのランプ"_s, u"青い"_s, u"かさ"_s, u"イヌ"_s, u"800"_s, u"ABC"_s, u"lamp"_s, { 0, 1, 0, 0 } },
        { u"ネコのかべがみ"_s, u"白"_s, {}, u"ネコ"_s, u"300"_s, u"ａｂｃ"_s, {}, { 0, 0, 0, 1 } },
        { u"あおいゆか"_s, {}, {}, u"ねずみ"_s, u"50"_s, {}, {}, { 1, 1, 1, 1 } },
    };
}

QList<int> listedRecords(const ReportListModel& rows)
{
    QList<int> records;
    for (int row = 0; row < rows.rowCount(); ++row)
        records << rows.record(row);
    return records;
}

// QTest::keyClicks types Latin-1 only; other characters arrive as key events carrying their text.
void typeKey(QWidget* box, const QString& key)
{
    for (QChar character : key) {
        if (character.unicode() < 0x80)
            QTest::keyClicks(box, QString(character));
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

class LoadedChecklist : public ChecklistFixture
{
public:
    explicit LoadedChecklist(const std::vector<TestItem>& items = sampleItems())
    {
        writeSettings();
        writeCatalogue(items);
        writeWords({});
        loaded = load();
    }

    ReportListModel& rows() { return ui(form).ListView1->items(); }
    QLineEdit* key() { return ui(form->searchWindow()).txtseek; }

    bool loaded = false;
};

} // namespace

class tst_ListFill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void start_listsEveryItemInNameOrder_labelsFollowCounters();
    void typedKey_refillsAtEveryKeystroke_data();
    void typedKey_refillsAtEveryKeystroke();
    void emptyKey_listsSameRowsAsAllItems();
    void invalidKey_emptiesList_keepsLabels_nextValidKeyRefills();
    void unacquiredMode_listsOnlyUnacquiredItems();
    void sortButton_ordersByItemNumber();
    void itemNumbers_zeroPaddedToFourDigits_widerBeyond9999();
    void headerOnlyTable_showsNoData();
};

void tst_ListFill::start_listsEveryItemInNameOrder_labelsFollowCounters()
{
    LoadedChecklist checklist;
    QVERIFY(checklist.loaded);
    Form1& form = *checklist.form;
    ReportListModel& rows = checklist.rows();

    QCOMPARE(listedRecords(rows), (QList<int> { 5, 3, 4, 2 }));
    QCOMPARE(checklist.document.showcount(), 4);
    QCOMPARE(checklist.document.getcount(), 2);
    QCOMPARE(ui(form).lbl1->text(), u"2/4"_s);
    QCOMPARE(ui(form).lbl2->text(), u"50.0%"_s);
    QVERIFY(ui(form).imgconp->isHidden());
    const double track = Twips::fromPixels(ui(form).lbl0->width());
    QCOMPARE(ui(form).lbl100->width(), Twips::toPixels(track / 2 + 1));

    // The row of record 2 for villager 1: its own flag in the check box, villagers 2 to 4 in columns 1 to 3.
    const int row = 3;
    QCOMPARE(rows.record(row), 2);
    QVERIFY(rows.isChecked(row));
    QVERIFY(!rows.isChecked(1));
    const QStringList expected { u"りんごのいす"_s, u"0"_s, u"1"_s, u"0"_s, u"赤い"_s, u"帽子"_s, u"ねこ"_s, u"1200"_s,
        u"abc"_s, u"0001"_s };
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(rows.cellText(row, column), expected[column]);
    VERIFY_PROMPTS_DONE(checklist.prompts);
}

void tst_ListFill::typedKey_refillsAtEveryKeystroke_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<int>>("records");

    QTest::newRow("end of set1 with start of set2") << u"い帽"_s << QList<int> { 2 };
    QTest::newRow("sell is not searched") << u"1200"_s << QList<int> {};
    QTest::newRow("header record is never listed") << u"Set1Set2"_s << QList<int> {};
    QTest::newRow("marker: char begins with") << u"(3)ね"_s << QList<int> { 5, 2 };
    QTest::newRow("marker: char ends with") << u"こ(4)"_s << QList<int> { 2 };
    QTest::newRow("marker: seek field") << u"(5)lamp"_s << QList<int> { 3 };
    QTest::newRow("lower case matches neither upper case nor full width") << u"abc"_s << QList<int> { 2 };
    QTest::newRow("hiragana does not match katakana") << u"ねこ"_s << QList<int> { 2 };
    QTest::newRow("katakana does not match hiragana") << u"ネコ"_s << QList<int> { 4 };
    QTest::newRow("wildcards keep their meaning") << u"(3)?ず"_s << QList<int> { 5 };
}

void tst_ListFill::typedKey_refillsAtEveryKeystroke()
{
    QFETCH(QString, key);
    QFETCH(QList<int>, records);
    LoadedChecklist checklist;
    QVERIFY(checklist.loaded);
    QLineEdit* box = checklist.key();
    box->clear();
    QSignalSpy refills(&checklist.rows(), &QAbstractItemModel::modelReset);

    typeKey(box, key);
    QCOMPARE(box->text(), key);
    QCOMPARE(refills.count(), key.size());
    QCOMPARE(listedRecords(checklist.rows()), records);
    QCOMPARE(checklist.document.showcount(), records.size());
    VERIFY_PROMPTS_DONE(checklist.prompts);
}

void tst_ListFill::emptyKey_listsSameRowsAsAllItems()
{
    LoadedChecklist checklist;
    QVERIFY(checklist.loaded);
    const QList<int> all = listedRecords(checklist.rows());
    QCOMPARE(all.size(), 4);
    checklist.key()->setText(u"ねこ"_s);
    QCOMPARE(checklist.rows().rowCount(), 1);

    checklist.key()->clear();
    QCOMPARE(listedRecords(checklist.rows()), all);
    QCOMPARE(ui(checklist.form).lbl1->text(), u"2/4"_s);
}

void tst_ListFill::invalidKey_emptiesList_keepsLabels_nextValidKeyRefills()
{
    LoadedChecklist checklist;
    QVERIFY(checklist.loaded);
    Form1& form = *checklist.form;
    checklist.key()->setText(u"い帽"_s);
    QCOMPARE(ui(form).lbl1->text(), u"1/1"_s);
    QCOMPARE(ui(form).lbl2->text(), u"100%"_s);
    QVERIFY(!ui(form).imgconp->isHidden());
    const int bar = ui(form).lbl100->width();

    checklist.key()->clear();
    typeKey(checklist.key(), u"["_s);
    QCOMPARE(checklist.rows().rowCount(), 0);
    QCOMPARE(checklist.document.showcount(), 0);
    QCOMPARE(checklist.document.getcount(), 0);
    QCOMPARE(ui(form).lbl1->text(), u"2/4"_s); // the empty key's fill came in between
    QCOMPARE(ui(form).lbl2->text(), u"50.0%"_s);

    typeKey(checklist.key(), u"ね"_s);
    QCOMPARE(checklist.rows().rowCount(), 0);
    QCOMPARE(ui(form).lbl1->text(), u"2/4"_s);

    typeKey(checklist.key(), u"]"_s);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 5, 3, 2 }));
    QCOMPARE(ui(form).lbl1->text(), u"2/3"_s);
    QCOMPARE(ui(form).lbl2->text(), u"66.7%"_s);
    QVERIFY(ui(form).lbl100->width() < bar);

    // An invalid key straight after a complete list leaves the picture and the full figures showing.
    checklist.key()->setText(u"い帽"_s);
    checklist.key()->setText(u"い帽["_s);
    QCOMPARE(checklist.rows().rowCount(), 0);
    QCOMPARE(ui(form).lbl1->text(), u"1/1"_s);
    QCOMPARE(ui(form).lbl2->text(), u"100%"_s);
    QVERIFY(!ui(form).imgconp->isHidden());
    QCOMPARE(ui(form).lbl100->width(), bar);
}

void tst_ListFill::unacquiredMode_listsOnlyUnacquiredItems()
{
    LoadedChecklist checklist;
    QVERIFY(checklist.loaded);
    Form1& form = *checklist.form;
    QTest::mouseClick(ui(form.searchWindow()).Command2, Qt::LeftButton);
    QCOMPARE(ui(form.searchWindow()).Command2->text(), u"未取得"_s);

    ReportListModel& rows = checklist.rows();
    QCOMPARE(listedRecords(rows), (QList<int> { 3, 4 }));
    for (int row = 0; row < rows.rowCount(); ++row)
        QVERIFY(!rows.isChecked(row));
    QCOMPARE(checklist.document.getcount(), 0);
    QCOMPARE(ui(form).lbl1->text(), u"0/2"_s);
    QCOMPARE(ui(form).lbl2->text(), u"0%"_s);
    QCOMPARE(ui(form).lbl100->width(), 0); // one twip

    // Key and show mode both apply.
    checklist.key()->setText(u"(3)ね"_s);
    QCOMPARE(rows.rowCount(), 0);
    QCOMPARE(ui(form).lbl2->text(), u"NO DATA"_s);
}

void tst_ListFill::sortButton_ordersByItemNumber()
{
    LoadedChecklist checklist;
    QVERIFY(checklist.loaded);
    Form1& form = *checklist.form;
    QTest::mouseClick(ui(form.searchWindow()).Command1, Qt::LeftButton);
    QCOMPARE(ui(form).ListView1->sortKey(), 9);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 2, 3, 4, 5 }));

    // The order stays in force across fills.
    checklist.key()->setText(u"い"_s);
    QCOMPARE(listedRecords(checklist.rows()), (QList<int> { 2, 3, 5 }));
    QCOMPARE(checklist.rows().cellText(2, 9), u"0004"_s);
}

void tst_ListFill::itemNumbers_zeroPaddedToFourDigits_widerBeyond9999()
{
    std::vector<TestItem> items(10001);
    for (size_t i = 0; i < items.size(); ++i)
        items[i].name = u"item"_s + QString::number(i % 7);
    LoadedChecklist checklist(items);
    QVERIFY(checklist.loaded);
    ReportListModel& rows = checklist.rows();
    QCOMPARE(rows.rowCount(), 10001);
    QCOMPARE(ui(checklist.form).lbl1->text(), u"0/10001"_s);

    QHash<int, QString> numberOfRecord;
    for (int row = 0; row < rows.rowCount(); ++row)
        numberOfRecord.insert(rows.record(row), rows.cellText(row, 9));
    QVERIFY(!numberOfRecord.contains(1));
    QCOMPARE(numberOfRecord.value(2), u"0001"_s);
    QCOMPARE(numberOfRecord.value(11), u"0010"_s);
    QCOMPARE(numberOfRecord.value(10000), u"9999"_s);
    QCOMPARE(numberOfRecord.value(10001), u"10000"_s);
    QCOMPARE(numberOfRecord.value(10002), u"10001"_s);

    // Equal names keep item-number order.
    QCOMPARE(rows.record(0), 2);
    QCOMPARE(rows.record(1), 9);
}

void tst_ListFill::headerOnlyTable_showsNoData()
{
    LoadedChecklist checklist(std::vector<TestItem> {});
    QVERIFY(checklist.loaded);
    Form1& form = *checklist.form;
    QCOMPARE(checklist.rows().rowCount(), 0);
    QCOMPARE(checklist.document.showcount(), 0);
    QCOMPARE(ui(form).lbl1->text(), u"0/0"_s);
    QCOMPARE(ui(form).lbl2->text(), u"NO DATA"_s);
    QCOMPARE(ui(form).lbl100->width(), 0); // one twip
    VERIFY_PROMPTS_DONE(checklist.prompts);
}

QTEST_MAIN(tst_ListFill)
#include "tst_listfill.moc"
