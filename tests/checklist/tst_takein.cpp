// Taking a newer catalogue in from the main window: from the list's context menu or a file dropped on a window.
#include "checklistfixture.h"
#include "testfiles.h"

#include "checklist/search_window/form2.h"
#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "platform/widgets/listview.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

using Answer = Prompts::Answer;

std::vector<TestItem> userItems()
{
    return {
        { u"ゆきのランプ"_s, u"ふゆ"_s, u""_s, u"ゆず"_s, u"300"_s, u""_s, u""_s, { 1, 0, 0, 0 } },
        { u"あめのかさ"_s, u"つゆ"_s, u""_s, u"そうた"_s, u"120"_s, u""_s, u""_s, { 0, 1, 0, 1 } },
    };
}

// The same two items at new prices, in another order, and one item more.
std::vector<TestItem> newerItems()
{
    return {
        { u"あめのかさ"_s, u"つゆ"_s, u""_s, u"そうた"_s, u"150"_s, u""_s, u""_s, {} },
        { u"ほしのすな"_s, u"なつ"_s, u""_s, u"Mika"_s, u"80"_s, u""_s, u""_s, {} },
        { u"ゆきのランプ"_s, u"ふゆ"_s, u""_s, u"ゆず"_s, u"350"_s, u""_s, u""_s, {} },
    };
}

// The newer items with the user's ticks, as the update writes them.
std::vector<TestItem> takenIn(std::array<int, 4> lampFlags = { 1, 0, 0, 0 })
{
    std::vector<TestItem> items = newerItems();
    items[0].flags = { 0, 1, 0, 1 };
    items[2].flags = lampFlags;
    return items;
}

struct TakeIn : ChecklistFixture
{
    TakeIn()
    {
        writeCatalogue(userItems());
        writeSettings();
        newer = QDir(elsewhere.path()).filePath(u"新しいカタログ.csv"_s);
        writeBytes(newer, catalogueBytes(newerItems()));
    }

    QAction* importItem() const { return control<QAction>(*form, u"mnuImport"_s); }

    // A drop on the window as the system delivers one; the work it starts runs once the event loop turns.
    void drop(QWidget* window, const QList<QUrl>& urls)
    {
        dropWithoutTurningTheLoop(window, urls);
        QCoreApplication::processEvents();
    }

    void dropWithoutTurningTheLoop(QWidget* window, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    }

    QTemporaryDir elsewhere;
    QString newer;
};

} // namespace

class TestTakeIn final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromTheMenu_takesTheNewerCatalogueIn_onYesOnly();
    void withUnsavedChanges_savesThemFirst_orChangesNothing();
    void fromADrop_onEitherWindow_andOnlyOneCatalogueFile();
    void refusedFile_leavesTheWindowAndTheFilesAsTheyWere();
};

void TestTakeIn::fromTheMenu_takesTheNewerCatalogueIn_onYesOnly()
{
    TakeIn fixture;
    QVERIFY(fixture.load());
    const QByteArray before = readBytes(fixture.path(DataFile::fileName));

    fixture.desktop.expectFileChoice(fixture.newer);
    fixture.prompts.expectQuestion(Answer::No);
    fixture.importItem()->trigger();
    QCOMPARE(fixture.desktop.lastFilters(), QStringList({ u"カタログ (*.csv)"_s, u"すべてのファイル (*)"_s }));
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), before);
    QCOMPARE(fixture.document.list().rowCount(), 2);

    fixture.desktop.expectFileChoice(QString());
    fixture.importItem()->trigger();

    fixture.desktop.expectFileChoice(fixture.newer);
    fixture.prompts.expectQuestion(Answer::Yes);
    fixture.prompts.expectMessage();
    fixture.importItem()->trigger();
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), catalogueBytes(takenIn()));
    QVERIFY(QFileInfo::exists(BackupFolder::path(fixture.dir.path())));

    // The window shows the newer catalogue as a start on the same files would.
    ChecklistFixture started;
    writeBytes(started.path(DataFile::fileName), readBytes(fixture.path(DataFile::fileName)));
    started.writeSettings();
    QVERIFY(started.load());
    for (const int column : { 0, 7, 9 }) {
        clickColumnTitle(ui(fixture.form).ListView1, column);
        clickColumnTitle(ui(started.form).ListView1, column);
        QCOMPARE(listedRecords(fixture.document.list()), listedRecords(started.document.list()));
    }
    QCOMPARE(ui(fixture.form).lbl1->text(), u"1/3"_s);
    setTicked(fixture.document, 3, true);
    QCOMPARE(ui(fixture.form).lbl1->text(), u"2/3"_s);
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestTakeIn::withUnsavedChanges_savesThemFirst_orChangesNothing()
{
    TakeIn fixture;
    QVERIFY(fixture.load());
    setTicked(fixture.document, 2, false);
    const QByteArray before = readBytes(fixture.path(DataFile::fileName));

    fixture.desktop.expectFileChoice(fixture.newer);
    fixture.prompts.expectQuestion(Answer::Cancel);
    fixture.importItem()->trigger();
    QCOMPARE(fixture.prompts.lastShown(), u"取り込む前に変更をセーブします。よろしいですか？"_s);
    QCOMPARE(fixture.prompts.lastButtons(), Prompts::Buttons::YesCancel);
    QVERIFY(fixture.document.isModified());
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), before);

    // はい saves the untick, with the pair it replaces, and the update reads the files as saved.
    fixture.desktop.expectFileChoice(fixture.newer);
    fixture.prompts.expectQuestion(Answer::Yes);
    fixture.prompts.expectQuestion(Answer::Yes);
    fixture.prompts.expectMessage();
    fixture.importItem()->trigger();
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), catalogueBytes(takenIn({ 0, 0, 0, 0 })));
    QCOMPARE(QDir(BackupFolder::path(fixture.dir.path())).entryList({ u"kurasize.dat.*"_s }).size(), 1);
    QVERIFY(!fixture.document.isModified());
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestTakeIn::fromADrop_onEitherWindow_andOnlyOneCatalogueFile()
{
    TakeIn fixture;
    QVERIFY(fixture.load());
    const QByteArray before = readBytes(fixture.path(DataFile::fileName));
    const QUrl newer = QUrl::fromLocalFile(fixture.newer);
    const QString text = QDir(fixture.elsewhere.path()).filePath(u"memo.txt"_s);
    writeBytes(text, "memo");

    // Two files, a folder, a file that is no .csv: a message, and nothing else.
    for (const QList<QUrl>& wrong : { QList<QUrl> { newer, newer }, { QUrl::fromLocalFile(fixture.elsewhere.path()) },
             { QUrl::fromLocalFile(text) } }) {
        fixture.prompts.expectMessage();
        fixture.drop(fixture.form.get(), wrong);
        QTRY_VERIFY(fixture.prompts.done());
    }
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), before);

    // While a dialog is open, a drop is refused, and so is one whose hand-on finds a dialog opened since.
    QDialog open(fixture.form.get());
    open.setWindowModality(Qt::ApplicationModal);
    open.show();
    fixture.drop(fixture.form.get(), { newer });
    QTest::qWait(50);
    open.close();
    QTest::qWait(50);
    fixture.dropWithoutTurningTheLoop(fixture.form.get(), { newer });
    open.show();
    QTest::qWait(50);
    open.close();
    QTest::qWait(50);
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), before);

    fixture.prompts.expectQuestion(Answer::No);
    fixture.drop(fixture.form->loadSearchWindowIfClosed(), { newer });
    QTRY_VERIFY(fixture.prompts.done());
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), before);

    fixture.prompts.expectQuestion(Answer::Yes);
    fixture.prompts.expectMessage();
    fixture.drop(fixture.form.get(), { newer });
    QTRY_VERIFY(fixture.prompts.done());
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), catalogueBytes(takenIn()));
    QCOMPARE(fixture.document.list().rowCount(), 3);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

void TestTakeIn::refusedFile_leavesTheWindowAndTheFilesAsTheyWere()
{
    TakeIn fixture;
    QVERIFY(fixture.load());
    writeBytes(fixture.newer, catalogueBytes({}));
    const QString figures = ui(fixture.form).lbl1->text();
    const QByteArray before = readBytes(fixture.path(DataFile::fileName));

    fixture.desktop.expectFileChoice(fixture.newer);
    fixture.prompts.expectError();
    fixture.importItem()->trigger();
    QVERIFY(fixture.prompts.lastShown().contains(QDir::toNativeSeparators(fixture.newer)));
    QCOMPARE(readBytes(fixture.path(DataFile::fileName)), before);
    QVERIFY(!QFileInfo::exists(BackupFolder::path(fixture.dir.path())));
    QCOMPARE(ui(fixture.form).lbl1->text(), figures);
    QCOMPARE(fixture.document.list().rowCount(), 2);
    VERIFY_DESKTOP_DONE(fixture.desktop);
    VERIFY_PROMPTS_DONE(fixture.prompts);
}

QTEST_MAIN(TestTakeIn)
#include "tst_takein.moc"
