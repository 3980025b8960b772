// Going back to a state the backup folder keeps, and the list's context menu that offers it.
#include "checklistfixture.h"
#include "testfiles.h"

#include "checklist/main_window/savedstatesdialog.h"
#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/recoveryfile.h"
#include "itemdata/safesave.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/listview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

using Answer = Prompts::Answer;

std::vector<TestItem> threeItems()
{
    return {
        { u"ゆきのランプ"_s, u"ふゆ"_s, u""_s, u"ゆず"_s, u"300"_s, u""_s, u""_s, { 1, 0, 0, 0 } },
        { u"あめのかさ"_s, u"つゆ"_s, u""_s, u"そうた"_s, u"120"_s, u""_s, u""_s, { 0, 1, 0, 1 } },
        { u"かぜのふえ"_s, u"はる"_s, u""_s, u"Mika"_s, u"90"_s, u""_s, u""_s, { 1, 1, 0, 0 } },
    };
}

std::vector<TestItem> twoItems()
{
    return {
        { u"そらのはこ"_s, u"なつ"_s, u""_s, u"ゆず"_s, u"50"_s, u""_s, u""_s, { 0, 0, 1, 0 } },
        { u"うみのかい"_s, u"なつ"_s, u""_s, u"そうた"_s, u"10"_s, u""_s, u""_s, { 1, 0, 0, 0 } },
    };
}

QByteArray namedSettings(const QByteArray& village)
{
    QByteArrayList lines = settingsLines();
    lines[0] = '"' + sjis(QString::fromUtf8(village)) + '"';
    return joinLines(lines);
}

QAction* listMenuItem(const Form1& form, const char* name)
{
    return control<QAction>(form, QString::fromLatin1(name));
}

QMenu* listMenu(const Form1& form)
{
    return control<QMenu>(form, u"mnuList"_s);
}

QDateTime at(int day, int hour)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, 0));
}

} // namespace

class TestGoBack final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listMenu_opensFromTheMouseAndTheKeyboard_andTicksNothing();
    void openFolder_asksTheDesktop_andShowsThePathWhenItCannot();
    void dialog_listsEveryStateNewestFirst_withItsCounts_andUnreadableOnesCannotBeChosen();
    void goingBack_writesTheChosenBytes_keepsWhatItReplaced_andCanBeUndone();
    void goingBack_savesUnsavedChangesFirst_orChangesNothing();
    void afterGoingBack_fillSortAndTickBehaveAsAfterAStart();
    void goingBack_isRefusedWhileARecordSetAsideWouldRestore();
};

void TestGoBack::listMenu_opensFromTheMouseAndTheKeyboard_andTicksNothing()
{
    ChecklistFixture fixture;
    fixture.writeCatalogue(threeItems());
    fixture.writeSettings();
    QVERIFY(fixture.load());
    ListView* list = ui(fixture.form).ListView1;
    fixture.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(fixture.form.get()));
    const QString figures = ui(fixture.form).lbl1->text();
    const auto checks = [&] {
        QList<bool> checked;
        for (int row = 0; row < list->items().rowCount(); ++row)
            checked << list->items().isChecked(row);
        return checked;
    };
    const QList<bool> checkedBefore = checks();

    QMenu* menu = listMenu(*fixture.form);
    QStringList captions;
    for (const QAction* item : menu->actions())
        captions << item->text();
    QCOMPARE(captions,
        QStringList(
            { u"新しいカタログを取り込む(&N)..."_s, u"以前のセーブに戻す(&B)..."_s, u"データのフォルダを開く(&F)"_s }));

    // Through the window, as the system delivers a click: the window makes a context-menu event of it.
    const QPoint firstRow = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseClick(
        fixture.form->windowHandle(), Qt::RightButton, {}, list->viewport()->mapTo(fixture.form.get(), firstRow));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    // The right button may select the row, as lists do, but turns no check box over.
    QCOMPARE(checks(), checkedBefore);

    fixture.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.form.get()));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    QCOMPARE(checks(), checkedBefore);
    QCOMPARE(ui(fixture.form).lbl1->text(), figures);
    QVERIFY(!fixture.document.isModified());
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestGoBack::openFolder_asksTheDesktop_andShowsThePathWhenItCannot()
{
    ChecklistFixture fixture;
    fixture.writeCatalogue(threeItems());
    fixture.writeSettings();
    QVERIFY(fixture.load());
    QAction* openFolder = listMenuItem(*fixture.form, "mnuFolder");

    fixture.desktop.expectOpening(true);
    openFolder->trigger();
    QCOMPARE(fixture.desktop.opened(), QStringList { fixture.dir.path() });

    fixture.desktop.expectOpening(false);
    fixture.prompts.expectError();
    openFolder->trigger();
    QVERIFY(fixture.prompts.lastShown().contains(QDir::toNativeSeparators(fixture.dir.path())));
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestGoBack::dialog_listsEveryStateNewestFirst_withItsCounts_andUnreadableOnesCannotBeChosen()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(BackupFolder::folderName));
    const QDir backup(BackupFolder::path(dir.path()));
    const QByteArray settings = joinLines(settingsLines());
    writeBytes(backup.filePath(u"kuradata_v2.csv.20260301-100000"_s), catalogueBytes(threeItems()));
    writeBytes(backup.filePath(u"kurasize.dat.20260301-100000"_s), settings);
    writeBytes(backup.filePath(u"kuradata_v2.csv.20260301-100000-2"_s), catalogueBytes(twoItems()));
    writeBytes(backup.filePath(u"kurasize.dat.20260301-100000-2"_s), settings);
    writeBytes(backup.filePath(u"kuradata_v2.csv.before-update-20260302-090000"_s), catalogueBytes(twoItems()));
    writeBytes(backup.filePath(u"kuradata_v2.csv.before-conversion-20260228-235959"_s), catalogueBytes({}));
    // The newest: a save whose settings file is gone.
    writeBytes(backup.filePath(u"kuradata_v2.csv.20260305-080000"_s), catalogueBytes(threeItems()));
    // Neither a state nor a part of one.
    writeBytes(backup.filePath(u"kuradata_v2.csv.20260301-100000.tmp"_s), "x");
    writeBytes(backup.filePath(u"notes.txt"_s), "x");

    SavedStatesDialog dialog(listSavedStates(dir.path()));
    QCOMPARE(dialog.windowTitle(), u"以前のセーブに戻す"_s);
    auto* rows = control<QTreeWidget>(dialog, u"savedStates"_s);
    QStringList listed;
    for (int row = 0; row < rows->topLevelItemCount(); ++row)
        listed << rows->topLevelItem(row)->text(0) + u' ' + rows->topLevelItem(row)->text(1);
    QCOMPARE(listed,
        QStringList({ u"2026/03/05 08:00:00 セーブの前"_s, u"2026/03/02 09:00:00 カタログ取り込みの前"_s,
            u"2026/03/01 10:00:00 (2) セーブの前"_s, u"2026/03/01 10:00:00 セーブの前"_s,
            u"2026/02/28 23:59:59 旧ファイル変換の前"_s }));

    // Items, then each villager's ticks, as each state is read in the background.
    const auto counts = [&](int row) {
        QStringList texts;
        for (int column = 2; column <= 6; ++column)
            texts << rows->topLevelItem(row)->text(column);
        return texts.join(u',');
    };
    QTRY_COMPARE(counts(4), u"0,0,0,0,0"_s);
    QCOMPARE(counts(1), u"2,1,0,1,0"_s);
    QCOMPARE(counts(2), u"2,1,0,1,0"_s);
    QCOMPARE(counts(3), u"3,2,2,0,1"_s);
    QTreeWidgetItem* settingsGone = rows->topLevelItem(0);
    QVERIFY(settingsGone->text(7).contains(u"kurasize.dat.20260305-080000"_s));
    QVERIFY(!(settingsGone->flags() & Qt::ItemIsEnabled));
    // The keys start from the newest state that can be chosen; Down moves, Enter chooses.
    QCOMPARE(rows->currentItem(), rows->topLevelItem(1));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), rows);
    QTest::keyClick(rows, Qt::Key_Down);
    QTest::keyClick(rows, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const std::optional<SavedState> chosen = dialog.chosen();
    QVERIFY(chosen);
    QCOMPARE(chosen->number, 2);
    QCOMPARE(chosen->settingsPath, backup.filePath(u"kurasize.dat.20260301-100000-2"_s));

    SavedStatesDialog closed(listSavedStates(dir.path()));
    closed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&closed));
    QTest::keyClick(control<QTreeWidget>(closed, u"savedStates"_s), Qt::Key_Escape);
    QVERIFY(!closed.chosen());
}

void TestGoBack::goingBack_writesTheChosenBytes_keepsWhatItReplaced_andCanBeUndone()
{
    ChecklistFixture fixture;
    fixture.writeCatalogue(threeItems());
    fixture.writeSettings();
    QVERIFY(fixture.load());
    const QByteArray first = readBytes(fixture.path(DataFile::fileName));
    fixture.document.setClock([] { return at(1, 10); });
    setTicked(fixture.document, 4, false);
    fixture.prompts.expectQuestion(Answer::Ok);
    ui(fixture.form).btnsave->trigger();
    const QByteArray saved = readBytes(fixture.path(DataFile::fileName));
    const QByteArray savedSettings = readBytes(fixture.path(SettingsFile::fileName));
    QVERIFY(saved != first);

    // A flush that fails while going back: its message, and the files, backup/ and the window as they were.
    const QStringList backupBefore = QDir(BackupFolder::path(fixture.dir.path())).entryList(QDir::Files);
    SaveCalls failingFlush;
    failingFlush.flush = [](int) { return std::optional<QString>(u"入出力エラー"_s); };
    fixture.document.setSaveCalls(failingFlush);
    fixture.desktop.expectChoice(0);
    fixture.prompts.expectQuestion(Answer::Yes);
    fixture.prompts.expectError();
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QVERIFY(fixture.prompts.lastShown().contains(u"入出力エラー"_s));
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), saved);
    QCOMPARE(readBytes(fixture.path(SettingsFile::fileName)), savedSettings);
    QCOMPARE(QDir(BackupFolder::path(fixture.dir.path())).entryList(QDir::Files), backupBefore);
    QCOMPARE(ui(fixture.form).lbl1->text(), u"1/3"_s);
    fixture.document.setSaveCalls({});

    // Back to the state that save replaced, with nothing unsaved: the files it replaces are kept all the same.
    fixture.document.setClock([] { return at(2, 10); });
    fixture.desktop.expectChoice(0);
    fixture.prompts.expectQuestion(Answer::Yes);
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QVERIFY(fixture.prompts.lastShown().contains(u"2026/03/01 10:00:00"_s));
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), first);
    QCOMPARE(ui(fixture.form).lbl1->text(), u"2/3"_s);
    const std::vector<SavedState>& offered = fixture.desktop.offered();
    QCOMPARE(offered.size(), size_t(1));

    // The list now offers what going back replaced, newest first: going back is undone from it.
    fixture.desktop.expectChoice(0);
    fixture.prompts.expectQuestion(Answer::Yes);
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QCOMPARE(fixture.desktop.offered().size(), size_t(2));
    QCOMPARE(fixture.desktop.offered().front().stamp.time(), QTime(10, 0));
    QCOMPARE(fixture.desktop.offered().front().stamp.date().day(), 2);
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), saved);
    QCOMPARE(readBytes(fixture.path(SettingsFile::fileName)), savedSettings);
    QCOMPARE(ui(fixture.form).lbl1->text(), u"1/3"_s);
    QVERIFY(!fixture.document.isModified());
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestGoBack::goingBack_savesUnsavedChangesFirst_orChangesNothing()
{
    ChecklistFixture fixture;
    fixture.writeCatalogue(threeItems());
    fixture.writeSettings();
    QVERIFY(QDir(fixture.dir.path()).mkdir(BackupFolder::folderName));
    const QDir backup(BackupFolder::path(fixture.dir.path()));
    writeBytes(backup.filePath(u"kuradata_v2.csv.20260301-100000"_s), catalogueBytes(twoItems()));
    writeBytes(backup.filePath(u"kurasize.dat.20260301-100000"_s), namedSettings("むかしの村"));
    QVERIFY(fixture.load());
    fixture.document.setClock([] { return at(2, 10); });
    setTicked(fixture.document, 3, true);
    const QByteArray onDisk = readBytes(fixture.path(DataFile::fileName));

    fixture.desktop.expectChoice(0);
    fixture.prompts.expectQuestion(Answer::No);
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QVERIFY(fixture.prompts.lastShown().contains(u"セーブしていない変更は、先にセーブ"_s));
    QVERIFY(fixture.document.isModified());
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), onDisk);
    QCOMPARE(listSavedStates(fixture.dir.path()).size(), size_t(1));

    fixture.desktop.expectChoice(0);
    fixture.prompts.expectQuestion(Answer::Yes);
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), catalogueBytes(twoItems()));
    QCOMPARE(ui(fixture.form).lbltown->text(), u"むかしの村"_s);
    // The tick went first into a save, and that save into the backup folder, where going back can find it.
    const std::vector<SavedState> states = listSavedStates(fixture.dir.path());
    QVERIFY(std::any_of(states.begin(), states.end(), [](const SavedState& state) {
        SavedStateContents contents;
        return !readSavedState(state, &contents) && contents.items == 3 && contents.ticks[1] == 3;
    }));
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestGoBack::afterGoingBack_fillSortAndTickBehaveAsAfterAStart()
{
    ChecklistFixture fixture;
    fixture.writeCatalogue(threeItems());
    QVERIFY(QDir(fixture.dir.path()).mkdir(BackupFolder::folderName));
    const QDir backup(BackupFolder::path(fixture.dir.path()));
    writeBytes(backup.filePath(u"kuradata_v2.csv.before-update-20260301-100000"_s), catalogueBytes(twoItems()));
    fixture.writeSettings();
    QVERIFY(fixture.load());
    // Every cached order is of the three items: sorted by name and by set before going back.
    clickColumnTitle(ui(fixture.form).ListView1, 0);
    clickColumnTitle(ui(fixture.form).ListView1, 4);
    fixture.document.switchVillager(3);
    fixture.document.pastelist1();

    fixture.desktop.expectChoice(0);
    fixture.prompts.expectQuestion(Answer::Yes);
    listMenuItem(*fixture.form, "mnuRestore")->trigger();

    ChecklistFixture started;
    writeBytes(started.path(DataFile::fileName), readBytes(fixture.path(DataFile::fileName)));
    writeBytes(started.path(SettingsFile::fileName), readBytes(fixture.path(SettingsFile::fileName)));
    QVERIFY(started.load());
    started.document.switchVillager(3);
    started.document.pastelist1();
    for (const int column : { 0, 4, 9 }) {
        clickColumnTitle(ui(fixture.form).ListView1, column);
        clickColumnTitle(ui(started.form).ListView1, column);
        QCOMPARE(listedRecords(fixture.document.list()), listedRecords(started.document.list()));
    }
    QCOMPARE(ui(fixture.form).lbl1->text(), u"1/2"_s);
    setTicked(fixture.document, 3, true);
    QCOMPARE(fixture.document.items().flag(3, 3), quint8(1));
    QCOMPARE(ui(fixture.form).lbl1->text(), u"2/2"_s);
    QCOMPARE(fixture.document.curvillager(), 3);
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestGoBack::goingBack_isRefusedWhileARecordSetAsideWouldRestore()
{
    ChecklistFixture fixture;
    fixture.writeCatalogue(threeItems());
    fixture.writeSettings();
    QVERIFY(QDir(fixture.dir.path()).mkdir(BackupFolder::folderName));
    writeBytes(BackupFolder::path(fixture.dir.path()) + u"/kuradata_v2.csv.before-update-20260301-100000"_s,
        catalogueBytes(twoItems()));
    // Villager 2's tick of the first item, set aside after a crash for the files as they are.
    const RecoveryRecord record { FileStamp::of(readBytes(fixture.path(DataFile::fileName))),
        FileStamp::of(readBytes(fixture.path(SettingsFile::fileName))), { { 2, 2, 1 } }, {} };
    const QString aside = fixture.path(RecoveryFile::fileName + u"-20260301-120000"_s);
    writeBytes(aside, RecoveryFile::encode(record));
    QVERIFY(fixture.load());
    const QByteArray onDisk = readBytes(fixture.path(DataFile::fileName));

    fixture.desktop.expectChoice(0);
    fixture.prompts.expectError();
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QVERIFY(fixture.prompts.lastShown().contains(QDir::toNativeSeparators(aside)));
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), onDisk);

    // Once the record no longer fits the files (here: a save changed them), it blocks nothing.
    setTicked(fixture.document, 3, true);
    fixture.prompts.expectQuestion(Answer::Ok);
    ui(fixture.form).btnsave->trigger();
    fixture.desktop.expectChoice(1);
    fixture.prompts.expectQuestion(Answer::Yes);
    listMenuItem(*fixture.form, "mnuRestore")->trigger();
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), catalogueBytes(twoItems()));
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

QTEST_MAIN(TestGoBack)
#include "tst_goback.moc"
