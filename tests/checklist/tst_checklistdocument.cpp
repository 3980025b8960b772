#include "checklistfixture.h"

#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

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

// A loaded document without windows, filled as the search window's start fills it.
class LoadedDocument : public ChecklistFixture
{
public:
    explicit LoadedDocument(const std::vector<TestItem>& items = sampleItems())
    {
        writeSettings();
        writeCatalogue(items);
        loaded = !document.load();
        document.setKey(u"全アイテム"_s);
    }

    ReportListModel& rows() { return document.list(); }

    bool loaded = false;
};

// A save that must ask nothing: files nobody else changed, a backup folder that can be written.
class NoSaveQuestions final : public SaveQuestions
{
public:
    bool overwriteChangedFiles(const QStringList&) override { return !(asked = true); }
    bool saveWithoutBackup(const FileError&) override { return !(asked = true); }
    bool asked = false;
};

} // namespace

class tst_ChecklistDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_listsEveryItemInNameOrder_withCounters();
    void key_data();
    void key();
    void invalidKey_emptiesList_announcesNoCounts();
    void unacquiredMode_listsOnlyUnacquiredItems();
    void numberOrder_staysInForceAcrossFills_andOutlivesAReset();
    void itemNumbers_zeroPaddedToFourDigits_widerBeyond9999();
    void headerOnlyTable_listsNothing();
    void tick_flagThenCounter_announcedOnce_redrawsOneBox();
    void changes_markModified_untilSaved();
};

void tst_ChecklistDocument::load_listsEveryItemInNameOrder_withCounters()
{
    LoadedDocument doc;
    QVERIFY(doc.loaded);
    ReportListModel& rows = doc.rows();

    QCOMPARE(listedRecords(rows), (QList<int> { 5, 3, 4, 2 }));
    QCOMPARE(doc.document.showcount(), 4);
    QCOMPARE(doc.document.getcount(), 2);
    QVERIFY(!doc.document.isModified());

    // The row of record 2 for villager 1: its own flag in the check box, villagers 2 to 4 in columns 1 to 3.
    const int row = 3;
    QCOMPARE(rows.record(row), 2);
    QVERIFY(rows.isChecked(row));
    QVERIFY(!rows.isChecked(1));
    const QStringList expected { u"りんごのいす"_s, u"0"_s, u"1"_s, u"0"_s, u"赤い"_s, u"帽子"_s, u"ねこ"_s, u"1200"_s,
        u"abc"_s, u"0001"_s };
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(rows.cellText(row, column), expected[column]);
}

void tst_ChecklistDocument::key_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QList<int>>("records");

    QTest::newRow("empty key lists all") << QString() << QList<int> { 5, 3, 4, 2 };
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
    QTest::newRow("bracket list") << u"(3)[ねイ]"_s << QList<int> { 5, 3, 2 };
}

void tst_ChecklistDocument::key()
{
    QFETCH(QString, key);
    QFETCH(QList<int>, records);
    LoadedDocument doc;
    QVERIFY(doc.loaded);
    QSignalSpy refills(&doc.rows(), &QAbstractItemModel::modelReset);
    QSignalSpy counts(&doc.document, &ChecklistDocument::countsChanged);

    doc.document.setKey(key);
    QCOMPARE(refills.count(), 1);
    QCOMPARE(counts.count(), 1);
    QCOMPARE(listedRecords(doc.rows()), records);
    QCOMPARE(doc.document.showcount(), records.size());
}

void tst_ChecklistDocument::invalidKey_emptiesList_announcesNoCounts()
{
    LoadedDocument doc;
    QVERIFY(doc.loaded);
    QSignalSpy filled(&doc.document, &ChecklistDocument::listFilled);
    QSignalSpy counts(&doc.document, &ChecklistDocument::countsChanged);
    QSignalSpy conditions(&doc.document, &ChecklistDocument::conditionsChanged);

    // The labels keep the previous figures: nothing tells them the counters were reset. The new key
    // is still announced, for the search window's title.
    doc.document.setKey(u"[ね"_s);
    QCOMPARE(doc.rows().rowCount(), 0);
    QCOMPARE(doc.document.showcount(), 0);
    QCOMPARE(doc.document.getcount(), 0);
    QCOMPARE(filled.count(), 1);
    QCOMPARE(counts.count(), 0);
    QCOMPARE(conditions.count(), 1);
    QCOMPARE(doc.document.conditions().key, u"[ね"_s);

    doc.document.setKey(u"[ね]"_s);
    QCOMPARE(listedRecords(doc.rows()), (QList<int> { 5, 3, 2 }));
    QCOMPARE(doc.document.getcount(), 2);
    QCOMPARE(counts.count(), 1);
}

void tst_ChecklistDocument::unacquiredMode_listsOnlyUnacquiredItems()
{
    LoadedDocument doc;
    QVERIFY(doc.loaded);
    doc.document.setShowMode(ShowMode::Unacquired);

    QCOMPARE(listedRecords(doc.rows()), (QList<int> { 3, 4 }));
    for (int row = 0; row < doc.rows().rowCount(); ++row)
        QVERIFY(!doc.rows().isChecked(row));
    QCOMPARE(doc.document.getcount(), 0);
    QCOMPARE(doc.document.showcount(), 2);

    // Key and show mode both apply.
    doc.document.setKey(u"(3)ね"_s);
    QCOMPARE(doc.rows().rowCount(), 0);
}

void tst_ChecklistDocument::numberOrder_staysInForceAcrossFills_andOutlivesAReset()
{
    LoadedDocument doc;
    QVERIFY(doc.loaded);
    doc.document.setSortOrder(SortOrder::Number);
    QCOMPARE(doc.rows().sortKey(), int(ListColumn::Number));
    QCOMPARE(listedRecords(doc.rows()), (QList<int> { 2, 3, 4, 5 }));

    doc.document.setKey(u"い"_s);
    QCOMPARE(listedRecords(doc.rows()), (QList<int> { 2, 3, 5 }));
    QCOMPARE(doc.rows().cellText(2, int(ListColumn::Number)), u"0004"_s);

    // A search window loaded afresh shows all items in name order, while the list keeps its rows and order.
    doc.document.setShowMode(ShowMode::Unacquired);
    QCOMPARE(doc.document.conditions().sortOrder, SortOrder::Number);
    QSignalSpy refills(&doc.rows(), &QAbstractItemModel::modelReset);
    doc.document.takeLoadedConditions(ShowMode::All, SortOrder::Name);
    QCOMPARE(doc.document.conditions().showMode, ShowMode::All);
    QCOMPARE(doc.document.conditions().sortOrder, SortOrder::Name);
    QCOMPARE(doc.document.conditions().key, u"い"_s);
    QCOMPARE(doc.rows().sortKey(), int(ListColumn::Number));
    QCOMPARE(refills.count(), 0);
}

void tst_ChecklistDocument::itemNumbers_zeroPaddedToFourDigits_widerBeyond9999()
{
    std::vector<TestItem> items(10001);
    for (size_t i = 0; i < items.size(); ++i)
        items[i].name = u"item"_s + QString::number(i % 7);
    LoadedDocument doc(items);
    QVERIFY(doc.loaded);
    ReportListModel& rows = doc.rows();
    QCOMPARE(rows.rowCount(), 10001);

    QHash<int, QString> numberOfRecord;
    for (int row = 0; row < rows.rowCount(); ++row)
        numberOfRecord.insert(rows.record(row), rows.cellText(row, int(ListColumn::Number)));
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

void tst_ChecklistDocument::headerOnlyTable_listsNothing()
{
    LoadedDocument doc(std::vector<TestItem> {});
    QVERIFY(doc.loaded);
    QCOMPARE(doc.rows().rowCount(), 0);
    QCOMPARE(doc.document.showcount(), 0);
    QCOMPARE(doc.document.getcount(), 0);
}

void tst_ChecklistDocument::tick_flagThenCounter_announcedOnce_redrawsOneBox()
{
    std::vector<TestItem> items = sampleItems();
    items[0].flags[0] = 2; // any nonzero flag is ticked
    LoadedDocument doc(items);
    QVERIFY(doc.loaded);
    const int row = 3;
    QCOMPARE(doc.rows().record(row), 2);
    QList<std::pair<int, int>> seen; // the flag and the counter as each announcement found them
    connect(&doc.document, &ChecklistDocument::rowTicked, &doc.document, [&] {
        seen.append({ doc.document.items().flag(2, 1), doc.document.getcount() });
    });
    QSignalSpy redrawn(&doc.rows(), &QAbstractItemModel::dataChanged);
    QSignalSpy counts(&doc.document, &ChecklistDocument::countsChanged);

    doc.document.toggleRow(row);
    doc.document.toggleRow(row);
    QCOMPARE(seen, (QList<std::pair<int, int>> { { 0, 1 }, { 1, 2 } }));
    QCOMPARE(redrawn.count(), 2);
    for (const QList<QVariant>& cells : redrawn) {
        QCOMPARE(cells.at(0).toModelIndex(), doc.rows().index(row, 0));
        QCOMPARE(cells.at(1).toModelIndex(), doc.rows().index(row, 0));
    }
    QCOMPARE(counts.count(), 0);
    QVERIFY(doc.document.isModified());
}

void tst_ChecklistDocument::changes_markModified_untilSaved()
{
    const std::vector<std::function<void(ChecklistDocument&)>> changes {
        [](ChecklistDocument& d) { d.toggleRow(0); },
        [](ChecklistDocument& d) { d.renameVillage(*StoredText::fromTyped(u"みなと村"_s)); },
        [](ChecklistDocument& d) { d.renameVillager(*StoredText::fromTyped(u"はな"_s)); },
        [](ChecklistDocument& d) { d.setNameColor(0x123456); },
        [](ChecklistDocument& d) { d.setBackColor(0x654321); },
    };
    for (const auto& change : changes) {
        LoadedDocument doc;
        QVERIFY(doc.loaded);
        // Neither a refill, a sort nor a switch is a change a save would write.
        doc.document.setKey(u"い"_s);
        doc.document.setShowMode(ShowMode::Unacquired);
        doc.document.setSortOrder(SortOrder::Number);
        doc.document.switchVillager(2);
        doc.document.switchVillager(1);
        QVERIFY(!doc.document.isModified());

        change(doc.document);
        QVERIFY(doc.document.isModified());
        NoSaveQuestions questions;
        QVERIFY(doc.document.kurasave(questions, {}).saved);
        QVERIFY(!questions.asked);
        QVERIFY(!doc.document.isModified());
    }
}

QTEST_MAIN(tst_ChecklistDocument)
#include "tst_checklistdocument.moc"
