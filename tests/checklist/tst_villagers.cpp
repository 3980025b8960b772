#include "checklist/search_window/form2.h"
#include "checklistfixture.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/clickablelabel.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/widgetcolors.h"
#include "testfiles.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Flags of villagers 1 to 4: villager 1 has 1 of 3, villager 2 has 1, villager 3 has 2, villager 4 has 1.
std::vector<TestItem> catalogue()
{
    return {
        { u"あめ"_s, {}, {}, {}, {}, {}, {}, { 1, 0, 1, 0 } },
        { u"いと"_s, {}, {}, {}, {}, {}, {}, { 0, 1, 1, 0 } },
        { u"うめ"_s, {}, {}, {}, {}, {}, {}, { 0, 0, 0, 1 } },
    };
}

// As settingsLines() holds them.
const QStringList loadedNames { {}, u"ゆず"_s, u"そうた"_s, u"Mika"_s, u"4th"_s };
constexpr std::array<quint32, 5> loadedNameColors { 0, 255, 8388608, 8388736, 16512 };
constexpr std::array<quint32, 5> loadedBackColors { 0, 12648384, 16764108, 13408767, 13434879 };

[[nodiscard]] bool openChecklist(ChecklistFixture& fx, const QByteArrayList& settings = settingsLines())
{
    fx.writeCatalogue(catalogue());
    fx.writeSettings(settings);
    if (!fx.load())
        return false;
    fx.form->show();
    fx.form->activateWindow();
    return QTest::qWaitForWindowActive(fx.form.get());
}

// The menu item of each villager, through its shortcut key.
void pressVillagerKey(Form1& form, int villager)
{
    QTest::keyClick(&form, Qt::Key(Qt::Key_F1 + villager - 1));
}

QStringList menuCaptions(const Form1& form)
{
    QStringList captions;
    for (int villager = 1; villager <= 4; ++villager)
        captions.append(ui(form).btnchg1[size_t(villager - 1)]->text());
    return captions;
}

QList<int> checkedMenuItems(const Form1& form)
{
    QList<int> checked;
    for (int villager = 1; villager <= 4; ++villager) {
        if (ui(form).btnchg1[size_t(villager - 1)]->isChecked())
            checked.append(villager);
    }
    return checked;
}

QStringList otherColumnTitles(const ListView& list)
{
    return { list.columnTitle(1), list.columnTitle(2), list.columnTitle(3) };
}

QColor nameColor(const Form1& form)
{
    return ui(form).lblname->palette().color(QPalette::WindowText);
}

// Each row as its check box and the texts of columns 1 to 3, e.g. "x 0 1 0".
QStringList shownFlags(const ReportListModel& list)
{
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        rows.append(QString(list.isChecked(row) ? u'x' : u'-') + u' ' + list.cellText(row, 1) + u' '
            + list.cellText(row, 2) + u' ' + list.cellText(row, 3));
    }
    return rows;
}

QByteArray quoted(const QString& text)
{
    return '"' + sjis(text) + '"';
}

} // namespace

class TestVillagers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switchKey_showsThatVillager_data();
    void switchKey_showsThatVillager();
    void sameVillager_changesNothing();
    void ticks_keptApartPerVillager();
    void colourTextNotANumber_keepsColourShowing();
    void flagColumnOrder_followsTheSwitch();
    void nameEdit_data();
    void nameEdit();
    void nameEdit_cancelBeforeAnySwitch_keepsStoredName();
    void colourChoice_data();
    void colourChoice();
    void namesAndColours_surviveSaveAndRestart();
};

void TestVillagers::switchKey_showsThatVillager_data()
{
    QTest::addColumn<int>("villager");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("count");

    QTest::newRow("F2") << 2 << QStringList { u"1"_s, u"3"_s, u"4"_s }
                        << QStringList { u"- 1 1 0"_s, u"x 0 1 0"_s, u"- 0 0 1"_s } << u"1/3"_s;
    QTest::newRow("F3") << 3 << QStringList { u"1"_s, u"2"_s, u"4"_s }
                        << QStringList { u"x 1 0 0"_s, u"x 0 1 0"_s, u"- 0 0 1"_s } << u"2/3"_s;
    QTest::newRow("F4") << 4 << QStringList { u"1"_s, u"2"_s, u"3"_s }
                        << QStringList { u"- 1 0 1"_s, u"- 0 1 1"_s, u"x 0 0 0"_s } << u"1/3"_s;
}

void TestVillagers::switchKey_showsThatVillager()
{
    QFETCH(int, villager);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, rows);
    QFETCH(QString, count);

    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    QCOMPARE(otherColumnTitles(*ui(form).ListView1), QStringList({ u"2"_s, u"3"_s, u"4"_s }));
    QCOMPARE(shownFlags(ui(form).ListView1->items()), QStringList({ u"x 0 1 0"_s, u"- 1 1 0"_s, u"- 0 0 1"_s }));

    pressVillagerKey(form, villager);
    QCOMPARE(int(fx.document.curvillager()), villager);
    QCOMPARE(checkedMenuItems(form), QList<int> { villager });
    QCOMPARE(otherColumnTitles(*ui(form).ListView1), titles);
    QCOMPARE(ui(form).ListView1->columnTitle(0), u"Item"_s);
    QCOMPARE(ui(form).ListView1->columnTitle(4), u"Set1"_s);
    QCOMPARE(form.BackColor(), colorFromBgr(loadedBackColors[size_t(villager)]));
    QCOMPARE(form.loadSearchWindowIfClosed()->BackColor(), colorFromBgr(loadedBackColors[size_t(villager)]));
    QCOMPARE(ui(form).lblname->text(), loadedNames[villager]);
    QCOMPARE(nameColor(form), colorFromBgr(loadedNameColors[size_t(villager)]));
    QCOMPARE(shownFlags(ui(form).ListView1->items()), rows);
    QCOMPARE(ui(form).lbl1->text(), count);
    // A switch leaves the menu's captions alone.
    QCOMPARE(menuCaptions(form), QStringList({ u"1st"_s, u"2nd"_s, u"3rd"_s, u"4th"_s }));
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestVillagers::sameVillager_changesNothing()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    QSignalSpy refills(&ui(form).ListView1->items(), &QAbstractItemModel::modelReset);

    pressVillagerKey(form, 1);
    QCOMPARE(refills.count(), 0);
    QCOMPARE(checkedMenuItems(form), QList<int> { 1 });
    QCOMPARE(otherColumnTitles(*ui(form).ListView1), QStringList({ u"2"_s, u"3"_s, u"4"_s }));
    // The start caption stays: only a switch to another villager shows the stored name.
    QCOMPARE(ui(form).lblname->text(), u"1st"_s);
    QCOMPARE(form.BackColor(), colorFromBgr(loadedBackColors[1]));

    pressVillagerKey(form, 3);
    QCOMPARE(refills.count(), 1);
    ui(form).btnchg1[2]->trigger();
    QCOMPARE(refills.count(), 1);
    QCOMPARE(checkedMenuItems(form), QList<int> { 3 });
    QCOMPARE(int(fx.document.curvillager()), 3);
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestVillagers::ticks_keptApartPerVillager()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    ReportListModel& list = ui(form).ListView1->items();

    pressVillagerKey(form, 2);
    // Row 0 is あめ, record 2, which villager 2 has not got.
    ui(form).ListView1->setCurrentIndex(list.index(0, 0));
    QTest::keyClick(ui(form).ListView1, Qt::Key_Space);
    QCOMPARE(shownFlags(list), QStringList({ u"x 1 1 0"_s, u"x 0 1 0"_s, u"- 0 0 1"_s }));

    pressVillagerKey(form, 1);
    QCOMPARE(shownFlags(list), QStringList({ u"x 1 1 0"_s, u"- 1 1 0"_s, u"- 0 0 1"_s }));
    QCOMPARE(ui(form).lbl1->text(), u"1/3"_s);
    // Villager 1 unticks the same item; villager 2 keeps it.
    ui(form).ListView1->setCurrentIndex(list.index(0, 0));
    QTest::keyClick(ui(form).ListView1, Qt::Key_Space);

    pressVillagerKey(form, 2);
    QCOMPARE(shownFlags(list), QStringList({ u"x 0 1 0"_s, u"x 0 1 0"_s, u"- 0 0 1"_s }));
    QCOMPARE(ui(form).lbl1->text(), u"2/3"_s);
    QCOMPARE(fx.document.items().flag(2, 1), quint8(0));
    QCOMPARE(fx.document.items().flag(2, 2), quint8(1));
    QCOMPARE(fx.document.items().flag(2, 3), quint8(1));
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestVillagers::colourTextNotANumber_keepsColourShowing()
{
    QByteArrayList settings = settingsLines();
    settings[5] = quoted(u"あか"_s); // villager 2's name colour
    settings[6] = "\"\""; // villager 2's background
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx, settings));
    Form1& form = *fx.form;
    // With the search window closed the switch loads it again, hidden; that load fills the list for the
    // new villager, and the switch fills it once more when the load has finished.
    form.loadSearchWindowIfClosed()->close();
    QTRY_VERIFY(!form.hasSearchWindow());
    QList<int> fillsFor;
    QObject::connect(&ui(form).ListView1->items(), &QAbstractItemModel::modelReset,
        [&] { fillsFor.append(fx.document.curvillager()); });

    pressVillagerKey(form, 2);
    QCOMPARE(fillsFor, (QList<int> { 2, 2 }));
    QVERIFY(form.hasSearchWindow());
    QCOMPARE(fx.document.seekshown(), qint16(-1));
    QCOMPARE(ui(form).lblname->text(), u"そうた"_s);
    QCOMPARE(nameColor(form), colorFromBgr(loadedNameColors[1]));
    QCOMPARE(form.BackColor(), colorFromBgr(loadedBackColors[1]));
    QCOMPARE(form.loadSearchWindowIfClosed()->BackColor(), colorFromBgr(loadedBackColors[1]));
    QCOMPARE(ui(form).lbl1->text(), u"1/3"_s);
    QCOMPARE(fx.document.settings().namecolor[2].text(), u"あか"_s);

    pressVillagerKey(form, 3);
    QCOMPARE(nameColor(form), colorFromBgr(loadedNameColors[3]));
    QCOMPARE(form.BackColor(), colorFromBgr(loadedBackColors[3]));
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestVillagers::flagColumnOrder_followsTheSwitch()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    const auto names = [&form] {
        QStringList shown;
        for (int row = 0; row < ui(form).ListView1->items().rowCount(); ++row)
            shown.append(ui(form).ListView1->items().cellText(row, 0));
        return shown;
    };
    clickColumnTitle(ui(form).ListView1, 1);
    QCOMPARE(names(), QStringList({ u"あめ"_s, u"うめ"_s, u"いと"_s })); // by villager 2's flags
    pressVillagerKey(form, 3);
    QCOMPARE(names(), QStringList({ u"いと"_s, u"うめ"_s, u"あめ"_s })); // by villager 1's flags
    VERIFY_PROMPTS_DONE(fx.prompts);
}

void TestVillagers::nameEdit_data()
{
    QTest::addColumn<bool>("town");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("menuCaption"); // villager 2's menu item

    QTest::newRow("name") << false << u"はるか"_s << false << u"はるか"_s << u"はるか"_s;
    QTest::newRow("name with double quotes") << false << u"\"はる\"か"_s << false << u"＂はる＂か"_s << u"＂はる＂か"_s;
    QTest::newRow("name with ampersand") << false << u"A&B"_s << false << u"A&B"_s << u"A&&B"_s;
    QTest::newRow("empty name") << false << u""_s << false << u"そうた"_s << u"そうた"_s;
    QTest::newRow("name cancelled") << false << QString() << false << u"そうた"_s << u"そうた"_s;
    QTest::newRow("name with emoji") << false << u"はる🌸"_s << true << u"そうた"_s << u"そうた"_s;
    QTest::newRow("village") << true << u"もみじ村"_s << false << u"もみじ村"_s << u"2nd"_s;
    QTest::newRow("village with double quote") << true << u"\"森\"村"_s << false << u"＂森＂村"_s << u"2nd"_s;
    QTest::newRow("empty village") << true << u""_s << false << u"ほしくさ村"_s << u"2nd"_s;
    QTest::newRow("village with emoji") << true << u"村🏡"_s << true << u"ほしくさ村"_s << u"2nd"_s;
}

void TestVillagers::nameEdit()
{
    QFETCH(bool, town);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(QString, caption);
    QFETCH(QString, menuCaption);

    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    pressVillagerKey(form, 2);
    ClickableLabel* label = town ? ui(form).lbltown : ui(form).lblname;
    const QString before = label->text();
    fx.prompts.expectInput(typed);
    if (refused)
        fx.prompts.expectError();

    QTest::mouseClick(label, Qt::LeftButton);
    VERIFY_PROMPTS_DONE(fx.prompts);
    const qsizetype inputAt = fx.prompts.shown().size() - (refused ? 2 : 1);
    QCOMPARE(fx.prompts.shown().at(inputAt), town ? u"村の名前を入力してください"_s : u"名前を入力してください"_s);
    QCOMPARE(fx.prompts.lastTitle(), town ? u"むら"_s : u"なまえ"_s);
    QCOMPARE(fx.prompts.lastDefaultText(), before);
    QCOMPARE(label->text(), caption);
    const StoredText& stored = town ? fx.document.settings().townname : fx.document.settings().villagername[2];
    QCOMPARE(stored.text(), caption);
    QCOMPARE(stored.bytes(), sjis(caption));
    const QStringList otherCaptions = town ? QStringList { u"1st"_s, u"3rd"_s, u"4th"_s }
                                           : QStringList { loadedNames[1], loadedNames[3], loadedNames[4] };
    QCOMPARE(menuCaptions(form), QStringList({ otherCaptions[0], menuCaption, otherCaptions[1], otherCaptions[2] }));
    QCOMPARE((town ? ui(form).lblname : ui(form).lbltown)->text(), town ? u"そうた"_s : u"ほしくさ村"_s);
    if (menuCaption == u"A&&B")
        QCOMPARE(ui(form).btnchg1[1]->iconText(), u"A&B"_s);
}

void TestVillagers::nameEdit_cancelBeforeAnySwitch_keepsStoredName()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    fx.prompts.expectInput(QString());

    // The label still shows the design's "1st"; Cancel must not store that over the loaded name.
    QTest::mouseClick(ui(form).lblname, Qt::LeftButton);
    QCOMPARE(fx.prompts.lastDefaultText(), u"1st"_s);
    QCOMPARE(ui(form).lblname->text(), u"1st"_s);
    QCOMPARE(menuCaptions(form), loadedNames.mid(1));
    QVERIFY(!fx.document.isModified());

    fx.prompts.expectQuestion(Prompts::Answer::Ok);
    ui(form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(fx.prompts);
    QCOMPARE(readBytes(fx.path(SettingsFile::fileName)).split('\n').at(1), quoted(loadedNames[1]) + '\r');
}

void TestVillagers::colourChoice_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<std::optional<QColor>>("chosen");

    QTest::newRow("F5 name colour") << int(Qt::Key_F5) << std::optional<QColor>(QColor(0x12, 0x34, 0x56));
    QTest::newRow("F6 background") << int(Qt::Key_F6) << std::optional<QColor>(QColor(0xAB, 0xCD, 0xEF));
    QTest::newRow("F5 cancelled") << int(Qt::Key_F5) << std::optional<QColor>();
    QTest::newRow("F6 cancelled") << int(Qt::Key_F6) << std::optional<QColor>();
}

void TestVillagers::colourChoice()
{
    QFETCH(int, key);
    QFETCH(std::optional<QColor>, chosen);

    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    pressVillagerKey(form, 2);
    fx.prompts.expectColor(chosen);

    QTest::keyClick(&form, Qt::Key(key));
    VERIFY_PROMPTS_DONE(fx.prompts);
    // Both items open the chooser on the background, not on the name colour.
    QCOMPARE(fx.prompts.lastInitialColor(), colorFromBgr(loadedBackColors[2]));
    const bool name = chosen && key == Qt::Key_F5;
    const bool back = chosen && key == Qt::Key_F6;
    const QColor expectedName = name ? *chosen : colorFromBgr(loadedNameColors[2]);
    const QColor expectedBack = back ? *chosen : colorFromBgr(loadedBackColors[2]);
    QCOMPARE(nameColor(form), expectedName);
    QCOMPARE(fx.document.settings().namecolor[2].text(), name ? u"5649426"_s : u"8388608"_s); // 0x563412
    QCOMPARE(form.BackColor(), expectedBack);
    QCOMPARE(form.loadSearchWindowIfClosed()->BackColor(), expectedBack);
    QCOMPARE(fx.document.settings().bgcolor[2].text(), back ? u"15715755"_s : u"16764108"_s); // 0xEFCDAB

    // The choice is the villager's own: it comes back with the villager.
    pressVillagerKey(form, 1);
    QCOMPARE(form.BackColor(), colorFromBgr(loadedBackColors[1]));
    pressVillagerKey(form, 2);
    QCOMPARE(nameColor(form), expectedName);
    QCOMPARE(form.BackColor(), expectedBack);
    QCOMPARE(form.loadSearchWindowIfClosed()->BackColor(), expectedBack);
}

void TestVillagers::namesAndColours_surviveSaveAndRestart()
{
    ChecklistFixture fx;
    QVERIFY(openChecklist(fx));
    Form1& form = *fx.form;
    const QColor nameOf1(0x10, 0x20, 0x30);
    const QColor backOf1(0xF0, 0xE0, 0xD0);
    const QColor backOf2(0x40, 0x80, 0xC0);
    fx.prompts.expectInput(u"もみじ\"村\""_s);
    fx.prompts.expectInput(u"ゆずこ"_s);
    fx.prompts.expectColor(backOf1);
    fx.prompts.expectColor(nameOf1);
    fx.prompts.expectInput(u"ソウタ&ハナ"_s);
    fx.prompts.expectColor(backOf2);
    fx.prompts.expectQuestion(Prompts::Answer::Ok);

    QTest::mouseClick(ui(form).lbltown, Qt::LeftButton);
    QTest::mouseClick(ui(form).lblname, Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F6);
    QTest::keyClick(&form, Qt::Key_F5);
    QCOMPARE(fx.prompts.lastInitialColor(), backOf1);
    pressVillagerKey(form, 2);
    QTest::mouseClick(ui(form).lblname, Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F6);
    ui(form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(fx.prompts);

    const QByteArrayList saved = readBytes(fx.path(SettingsFile::fileName)).split('\n');
    const QByteArrayList expected { quoted(u"もみじ＂村＂"_s), quoted(u"ゆずこ"_s), "\"3153936\"", "\"13689072\"",
        quoted(u"ソウタ&ハナ"_s), "\"8388608\"", "\"12615744\"", "\"Mika\"", "\"8388736\"", "\"13408767\"", "\"4th\"",
        "\"16512\"", "\"13434879\"" };
    QVERIFY(saved.size() >= 27);
    for (int line = 1; line <= 13; ++line)
        QCOMPARE(saved[line - 1], expected[line - 1] + '\r');

    fx.form.reset();
    ChecklistDocument document(fx.dir.path());
    ScriptedPrompts prompts;
    ScriptedDesktop desktop;
    auto restarted = std::make_unique<Form1>(document, Form1Services { prompts, desktop, desktop, desktop });
    QVERIFY(restarted->Form_Load());
    QCOMPARE(ui(restarted).lbltown->text(), u"もみじ＂村＂"_s);
    QCOMPARE(restarted->BackColor(), backOf1);
    QCOMPARE(nameColor(*restarted), nameOf1);

    ui(restarted).btnchg1[1]->trigger();
    QCOMPARE(ui(restarted).lblname->text(), u"ソウタ&ハナ"_s);
    QCOMPARE(restarted->BackColor(), backOf2);
    QCOMPARE(restarted->loadSearchWindowIfClosed()->BackColor(), backOf2);
    QCOMPARE(nameColor(*restarted), colorFromBgr(loadedNameColors[2]));

    ui(restarted).btnchg1[0]->trigger();
    QCOMPARE(ui(restarted).lblname->text(), u"ゆずこ"_s);
    QCOMPARE(nameColor(*restarted), nameOf1);
    QCOMPARE(restarted->loadSearchWindowIfClosed()->BackColor(), backOf1);
    VERIFY_PROMPTS_DONE(prompts);
}

QTEST_MAIN(TestVillagers)
#include "tst_villagers.moc"
