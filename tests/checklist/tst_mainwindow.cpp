#include "checklistfixture.h"
#include "testfiles.h"

#include "checklist/search_window/form2.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "platform/twips.h"
#include "platform/widgets/clickablelabel.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/outersize.h"
#include "platform/widgets/widgetcolors.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

using Answer = Prompts::Answer;

const QString dataFileName = DataFile::fileName;
const QString settingsFileName = SettingsFile::fileName;

std::vector<TestItem> sampleItems()
{
    return {
        { u"さくらのつくえ"_s, u"はるのセット"_s, u""_s, u"ゆず"_s, u"1,200"_s, u"花びら つき"_s, u"つくえ"_s,
            { 1, 0, 0, 0 } },
        { u"あおいランプ"_s, u"よるのセット"_s, u"あかり"_s, u"そうた"_s, u"800"_s, u""_s, u"ランプ"_s,
            { 0, 2, 0, 1 } },
        { u"きのこのいす"_s, u"もりのセット"_s, u""_s, u"Mika"_s, u"640"_s, u"雨の日だけ"_s, u"いす"_s,
            { 0, 0, 0, 0 } },
    };
}

// The window holds sizes in whole pixels, so a size in twips comes back at the nearest pixel.
double onPixelGrid(double twips)
{
    return Twips::fromPixels(Twips::toPixels(twips));
}

QSize pixelSize(double widthTwips, double heightTwips)
{
    return QSize(Twips::toPixels(widthTwips), Twips::toPixels(heightTwips));
}

// "name left,top[,width,height]" in twips, so that a misplaced control is named in the failure.
QString placement(const QString& name, const QWidget* control, bool withSize)
{
    const QRect g = control->geometry();
    QString text = u"%1 %2,%3"_s.arg(name).arg(Twips::fromPixels(g.x())).arg(Twips::fromPixels(g.y()));
    if (withSize)
        text += u",%1,%2"_s.arg(Twips::fromPixels(g.width())).arg(Twips::fromPixels(g.height()));
    return text;
}

// Every entry of the folder with its bytes; folders show as "<folder>".
QMap<QString, QByteArray> folderContents(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : dir.entryInfoList(filter))
        contents.insert(entry.fileName(), entry.isDir() ? QByteArray("<folder>") : readBytes(entry.filePath()));
    return contents;
}

// A file's bytes cut after each LF, so that a failure names the line that differs.
QByteArrayList splitAtLineFeeds(const QByteArray& bytes)
{
    return bytes.split('\n');
}

// The settings as the program writes them back unchanged: the windows' sizes as stored, the column
// widths at the nearest pixel.
QByteArrayList settingsAsSaved(QByteArrayList lines)
{
    for (int index = 17; index <= 26; ++index)
        lines[index] = QByteArray::number(qint64(onPixelGrid(lines[index].toDouble())));
    return splitAtLineFeeds(joinLines(lines));
}

bool startShown(ChecklistFixture& f, const QByteArrayList& settings = settingsLines())
{
    f.writeCatalogue(sampleItems());
    f.writeSettings(settings);
    if (!f.load())
        return false;
    f.form->show();
    return QTest::qWaitForWindowExposed(f.form.get());
}

// The folder after the data file's name was taken by a folder, so that saving it fails.
void blockDataFile(ChecklistFixture& f)
{
    QVERIFY(QFile::remove(f.path(dataFileName)));
    QVERIFY(QDir(f.dir.path()).mkdir(dataFileName));
}

enum class CloseRoute { CloseBox, EndCommand };

void requestClose(Form1& form, CloseRoute route)
{
    if (route == CloseRoute::CloseBox)
        form.close();
    else
        ui(form).btnend->trigger();
}

} // namespace

Q_DECLARE_METATYPE(CloseRoute)
Q_DECLARE_METATYPE(kuranote::Prompts::Answer)

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void start_showsStoredSettingsAndDesignCaptions();
    void start_menuBarHasCaptionsShortcutsAndCheck();
    void start_controlsAtDesignPlaces();

    void resize_keepsMinimumAndFitsListAndBar_data();
    void resize_keepsMinimumAndFitsListAndBar();
    void resize_storedSizeBelowMinimum_opensAndSavesMinimum();

    void timer_blinksBetweenTwoReds();

    void saveCommand_cancel_writesNothing();
    void saveCommand_ok_writesBothFiles();
    void saveCommand_failing_reportsFileAndKeepsSettings();

    void closeQuestion_cancel_keepsBothWindows_data();
    void closeQuestion_cancel_keepsBothWindows();
    void closeQuestion_yesOrNo_closesBothWindows_data();
    void closeQuestion_yesOrNo_closesBothWindows();
    void closeQuestion_yesWithFailingSave_keepsWindowOpen();

    void startupFailure_reportsFileAndWritesNothing_data();
    void startupFailure_reportsFileAndWritesNothing();
};

void TestMainWindow::start_showsStoredSettingsAndDesignCaptions()
{
    ChecklistFixture f;
    QByteArrayList settings = settingsLines();
    settings[2] = "\"8421376\""; // villager 1's name colour, distinct from the design's red
    QVERIFY(startShown(f, settings));
    Form1& form = *f.form;

    QCOMPARE(form.windowTitle(), u"くらノート ver2.1"_s);
    QCOMPARE(ui(form).lbltown->text(), u"ほしくさ村"_s);
    QCOMPARE(bgrFromColor(form.BackColor()), 12648384u);
    QCOMPARE(bgrFromColor(ui(form).lblname->palette().color(QPalette::WindowText)), 8421376u);
    // The stored name of villager 1 waits for a switch or a rename.
    QCOMPARE(ui(form).lblname->text(), u"1st"_s);
    QCOMPARE(form.frameGeometry().size(), pixelSize(6000, 5000));

    const QStringList titles { u"Item"_s, u"2"_s, u"3"_s, u"4"_s, u"Set1"_s, u"Set2"_s, u"Char"_s, u"Sell"_s, u"etc"_s,
        u"No,"_s };
    const std::array<double, 10> widths { 1800, 330, 330, 330, 1100, 1100, 1000, 700, 1500, 600 };
    QCOMPARE(ui(form).ListView1->items().columnCount(), 10);
    for (int column = 0; column < 10; ++column) {
        QCOMPARE(ui(form).ListView1->columnTitle(column), titles[column]);
        QCOMPARE(ui(form).ListView1->columnWidth(column), onPixelGrid(widths[size_t(column)]));
    }

    QCOMPARE(f.document.curvillager(), quint8(1));
    QCOMPARE(f.document.seekshown(), qint16(-1));
    QVERIFY(form.hasSearchWindow());
    QVERIFY(form.loadSearchWindowIfClosed()->isVisible());
    QVERIFY(f.prompts.shown().isEmpty());
}

void TestMainWindow::start_menuBarHasCaptionsShortcutsAndCheck()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    Form1& form = *f.form;

    QCOMPARE(ui(form).btnchg->title(), u"村人の切り替え(&Q)"_s);
    QCOMPARE(ui(form).btncolm->title(), u"色の設定(&W)"_s);
    QCOMPARE(ui(form).btnsave->text(), u"セーブ(&S)"_s);
    QCOMPARE(ui(form).btnend->text(), u"おわる(&Z)"_s);

    const QStringList ordinals { u"1st"_s, u"2nd"_s, u"3rd"_s, u"4th"_s };
    for (int index = 1; index <= 4; ++index) {
        QAction* item = ui(form).btnchg1[size_t(index - 1)];
        QCOMPARE(item->text(), ordinals[index - 1]);
        QCOMPARE(item->isChecked(), index == 1);
        QVERIFY2(!item->actionGroup(), "an exclusive group would draw radio dots, not check marks");
        QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F1 + (index - 1)));
    }
    QCOMPARE(ui(form).btncol[0]->text(), u"名前の色"_s);
    QCOMPARE(ui(form).btncol[0]->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(ui(form).btncol[1]->text(), u"背景色"_s);
    QCOMPARE(ui(form).btncol[1]->shortcut(), QKeySequence(Qt::Key_F6));
}

void TestMainWindow::start_controlsAtDesignPlaces()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    Form1& form = *f.form;

    // The list, the bar and its fill change their size at run time; only their place is fixed.
    const QStringList actual {
        placement(u"Command1"_s, ui(form).Command1, true),
        placement(u"ListView1"_s, ui(form).ListView1, false),
        placement(u"lblname"_s, ui(form).lblname, true),
        placement(u"lbltown"_s, ui(form).lbltown, true),
        placement(u"Label1(1)"_s, ui(form).Label1[1], true),
        placement(u"Label1(0)"_s, ui(form).Label1[0], true),
        placement(u"imgconp"_s, ui(form).imgconp, true),
        placement(u"lbl2"_s, ui(form).lbl2, true),
        placement(u"lbl1"_s, ui(form).lbl1, true),
        placement(u"lbl100"_s, ui(form).lbl100, false),
        placement(u"lbl0"_s, ui(form).lbl0, false),
    };
    const QStringList design {
        u"Command1 4560,240,615,375"_s,
        u"ListView1 120,840"_s,
        u"lblname 120,360,1515,300"_s,
        u"lbltown 0,0,1695,300"_s,
        u"Label1(1) 1800,120,735,180"_s,
        u"Label1(0) 3120,120,735,180"_s,
        u"imgconp 2640,120,480,480"_s,
        u"lbl2 1800,360,1035,300"_s,
        u"lbl1 3120,360,1395,300"_s,
        u"lbl100 120,600"_s,
        u"lbl0 120,600"_s,
    };
    QCOMPARE(actual, design);
    QCOMPARE(ui(form).Command1->text(), u"|ﾟｗﾟ|"_s);
    QCOMPARE(ui(form).Label1[1]->text(), u"達成率"_s);
    QCOMPARE(ui(form).Label1[0]->text(), u"Item数"_s);
    QCOMPARE(ui(form).lblname->toolTip(), u"Click to EDIT"_s);
    QCOMPARE(ui(form).lbltown->toolTip(), u"Click to EDIT"_s);

    // The list takes the focus first; Tab goes on to the face button.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ui(form).ListView1));
    QTest::keyClick(ui(form).ListView1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(ui(form).Command1));
}

void TestMainWindow::resize_keepsMinimumAndFitsListAndBar_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("fittedWidth");
    QTest::addColumn<double>("fittedHeight");

    QTest::newRow("at the minimum") << 4725.0 << 3600.0 << 4725.0 << 3600.0;
    QTest::newRow("larger") << 9000.0 << 6600.0 << 9000.0 << 6600.0;
    QTest::newRow("4000 wide springs back") << 4000.0 << 4995.0 << 4720.0 << 4995.0;
    QTest::newRow("too low springs back") << 6000.0 << 3000.0 << 6000.0 << 3600.0;
    QTest::newRow("both too small") << 1500.0 << 1500.0 << 4720.0 << 3600.0;
}

void TestMainWindow::resize_keepsMinimumAndFitsListAndBar()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, fittedWidth);
    QFETCH(double, fittedHeight);
    ChecklistFixture f;
    QVERIFY(startShown(f));
    Form1& form = *f.form;

    Twips::setOuterSize(&form, width, height);

    QCOMPARE(form.frameGeometry().size(), pixelSize(fittedWidth, fittedHeight));
    QCOMPARE(ui(form).ListView1->size(), pixelSize(fittedWidth - 375, fittedHeight - 1700));
    QCOMPARE(ui(form).lbl0->width(), Twips::toPixels(fittedWidth - 375));
    QCOMPARE(ui(form).ListView1->pos(), Twips::rect(120, 840, 0, 0).topLeft());
    QCOMPARE(ui(form).lbl0->pos(), Twips::rect(120, 600, 0, 0).topLeft());
}

void TestMainWindow::resize_storedSizeBelowMinimum_opensAndSavesMinimum()
{
    ChecklistFixture f;
    QByteArrayList settings = settingsLines();
    settings[13] = "3000";
    settings[14] = "2000";
    QVERIFY(startShown(f, settings));
    QCOMPARE(f.form->frameGeometry().size(), pixelSize(4720, 3600));

    f.prompts.expectQuestion(Answer::Ok);
    ui(f.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(f.prompts);
    const QByteArrayList saved = readBytes(f.path(settingsFileName)).split('\n');
    QCOMPARE(saved.value(13), QByteArray("4720\r"));
    QCOMPARE(saved.value(14), QByteArray("3600\r"));
}

void TestMainWindow::timer_blinksBetweenTwoReds()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    Form1& form = *f.form;
    QVERIFY(ui(form).Timer1->isActive());
    QCOMPARE(ui(form).Timer1->interval(), 1000);

    QCOMPARE(bgrFromColor(backColor(ui(form).lbl100)), 0x0000C0u);
    for (quint32 expected : { 0x0000FFu, 0x0000C0u, 0x0000FFu }) {
        tick(ui(form).Timer1);
        QCOMPARE(bgrFromColor(backColor(ui(form).lbl100)), expected);
    }
}

void TestMainWindow::saveCommand_cancel_writesNothing()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    const QMap<QString, QByteArray> before = folderContents(f.dir.path());
    setTicked(f.document, 2, 0);

    f.prompts.expectQuestion(Answer::Cancel);
    ui(f.form).btnsave->trigger();

    VERIFY_PROMPTS_DONE(f.prompts);
    QCOMPARE(f.prompts.lastShown(), u"セーブしますか？"_s);
    QCOMPARE(f.prompts.lastButtons(), Prompts::Buttons::OkCancel);
    QCOMPARE(folderContents(f.dir.path()), before);
}

void TestMainWindow::saveCommand_ok_writesBothFiles()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    const QByteArray loaded = readBytes(f.path(dataFileName));

    // Stale settings show that the save wrote the file afresh; written behind the program's back,
    // they are overwritten only after the question.
    writeBytes(f.path(settingsFileName), "stale\r\n");
    f.prompts.expectQuestion(Answer::Ok);
    f.prompts.expectQuestion(Answer::Yes);
    ui(f.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(f.prompts);
    QCOMPARE(readBytes(f.path(dataFileName)), loaded);
    QCOMPARE(splitAtLineFeeds(readBytes(f.path(settingsFileName))), settingsAsSaved(settingsLines()));

    std::vector<TestItem> changed = sampleItems();
    changed[1].flags[0] = 1;
    setTicked(f.document, 3, 1);
    f.prompts.expectQuestion(Answer::Ok);
    ui(f.form).btnsave->trigger();
    const QByteArray firstData = readBytes(f.path(dataFileName));
    const QByteArray firstSettings = readBytes(f.path(settingsFileName));
    QCOMPARE(firstData, catalogueBytes(changed));

    f.prompts.expectQuestion(Answer::Ok);
    ui(f.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(f.prompts);
    QCOMPARE(readBytes(f.path(dataFileName)), firstData);
    QCOMPARE(readBytes(f.path(settingsFileName)), firstSettings);
    // Beside the two files only the copies the save with a tick kept of them.
    QCOMPARE(folderContents(f.dir.path()).keys(), QStringList({ u"backup"_s, dataFileName, settingsFileName }));
}

void TestMainWindow::saveCommand_failing_reportsFileAndKeepsSettings()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    const QByteArray settings = readBytes(f.path(settingsFileName));
    blockDataFile(f);

    f.prompts.expectQuestion(Answer::Ok);
    f.prompts.expectError();
    ui(f.form).btnsave->trigger();

    VERIFY_PROMPTS_DONE(f.prompts);
    QVERIFY2(f.prompts.lastShown().contains(QDir::toNativeSeparators(f.path(dataFileName))),
        qPrintable(f.prompts.lastShown()));
    QCOMPARE(readBytes(f.path(settingsFileName)), settings);
    QVERIFY(f.form->isVisible());
}

void TestMainWindow::closeQuestion_cancel_keepsBothWindows_data()
{
    QTest::addColumn<CloseRoute>("route");
    QTest::addColumn<bool>("searchShown");
    QTest::newRow("close box, search shown") << CloseRoute::CloseBox << true;
    QTest::newRow("close box, search hidden") << CloseRoute::CloseBox << false;
    QTest::newRow("おわる, search shown") << CloseRoute::EndCommand << true;
    QTest::newRow("おわる, search hidden") << CloseRoute::EndCommand << false;
}

void TestMainWindow::closeQuestion_cancel_keepsBothWindows()
{
    QFETCH(CloseRoute, route);
    QFETCH(bool, searchShown);
    ChecklistFixture f;
    QVERIFY(startShown(f));
    if (!searchShown)
        QTest::mouseClick(ui(f.form).Command1, Qt::LeftButton); // the face button hides the search window
    const QPointer<Form2> search = f.form->loadSearchWindowIfClosed();
    const qint16 seekshown = f.document.seekshown();
    QCOMPARE(search->isVisible(), searchShown);
    const QMap<QString, QByteArray> before = folderContents(f.dir.path());
    setTicked(f.document, 2, 0);

    f.prompts.expectQuestion(Answer::Cancel);
    requestClose(*f.form, route);

    VERIFY_PROMPTS_DONE(f.prompts);
    QCOMPARE(f.prompts.lastShown(), u"終了前に変更をセーブしますか？"_s);
    QCOMPARE(f.prompts.lastButtons(), Prompts::Buttons::YesNoCancel);
    QVERIFY(f.form->isVisible());
    QVERIFY(!search.isNull());
    QCOMPARE(search->isVisible(), searchShown);
    QCOMPARE(f.document.seekshown(), seekshown);
    QCOMPARE(folderContents(f.dir.path()), before);
}

void TestMainWindow::closeQuestion_yesOrNo_closesBothWindows_data()
{
    QTest::addColumn<CloseRoute>("route");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("close box, No") << CloseRoute::CloseBox << Answer::No;
    QTest::newRow("close box, Yes") << CloseRoute::CloseBox << Answer::Yes;
    QTest::newRow("おわる, No") << CloseRoute::EndCommand << Answer::No;
    QTest::newRow("おわる, Yes") << CloseRoute::EndCommand << Answer::Yes;
}

void TestMainWindow::closeQuestion_yesOrNo_closesBothWindows()
{
    QFETCH(CloseRoute, route);
    QFETCH(Answer, answer);
    ChecklistFixture f;
    QVERIFY(startShown(f));
    const QMap<QString, QByteArray> before = folderContents(f.dir.path());
    std::vector<TestItem> changed = sampleItems();
    changed[0].flags[0] = 0;
    setTicked(f.document, 2, 0);
    f.document.renameVillage(StoredText::fromBytes(sjis(u"みなと村"_s)));

    f.prompts.expectQuestion(answer);
    requestClose(*f.form, route);

    VERIFY_PROMPTS_DONE(f.prompts);
    QVERIFY(!f.form->isVisible());
    QVERIFY(!f.form->hasSearchWindow());
    QCOMPARE(f.document.seekshown(), qint16(0));
    if (answer == Answer::No) {
        QCOMPARE(folderContents(f.dir.path()), before);
        return;
    }
    QCOMPARE(readBytes(f.path(dataFileName)), catalogueBytes(changed));
    QByteArrayList settings = settingsLines();
    settings[0] = '"' + sjis(u"みなと村"_s) + '"';
    QCOMPARE(splitAtLineFeeds(readBytes(f.path(settingsFileName))), settingsAsSaved(settings));
}

void TestMainWindow::closeQuestion_yesWithFailingSave_keepsWindowOpen()
{
    ChecklistFixture f;
    QVERIFY(startShown(f));
    const QByteArray settings = readBytes(f.path(settingsFileName));
    std::vector<TestItem> changed = sampleItems();
    changed[2].flags[0] = 1;
    setTicked(f.document, 4, 1);
    blockDataFile(f);

    f.prompts.expectQuestion(Answer::Yes);
    f.prompts.expectError();
    f.form->close();

    VERIFY_PROMPTS_DONE(f.prompts);
    QVERIFY2(f.prompts.lastShown().contains(QDir::toNativeSeparators(f.path(dataFileName))),
        qPrintable(f.prompts.lastShown()));
    QVERIFY(f.form->isVisible());
    QVERIFY(f.form->hasSearchWindow());
    QCOMPARE(f.document.seekshown(), qint16(-1));
    QCOMPARE(readBytes(f.path(settingsFileName)), settings);

    // Once the way is clear the tick is still there to be saved.
    QVERIFY(QDir(f.dir.path()).rmdir(dataFileName));
    f.prompts.expectQuestion(Answer::Yes);
    f.form->close();
    VERIFY_PROMPTS_DONE(f.prompts);
    QVERIFY(!f.form->isVisible());
    QCOMPARE(readBytes(f.path(dataFileName)), catalogueBytes(changed));
}

void TestMainWindow::startupFailure_reportsFileAndWritesNothing_data()
{
    QTest::addColumn<QByteArray>("catalogue"); // a null array leaves the file out
    QTest::addColumn<QByteArrayList>("settings"); // an empty list leaves the file out
    QTest::addColumn<QString>("faultyFile");
    QTest::addColumn<int>("line"); // 0 when the fault is not on one line

    const QByteArray catalogue = catalogueBytes(sampleItems());
    const QByteArrayList settings = settingsLines();
    QByteArrayList nameColor = settings;
    nameColor[2] = "\"red\"";
    QByteArrayList backColor = settings;
    backColor[3] = "\"\"";
    QByteArrayList width = settings;
    width[13] = "wide";

    QTest::newRow("data file missing") << QByteArray() << settings << dataFileName << 0;
    QTest::newRow("settings file missing") << catalogue << QByteArrayList() << settingsFileName << 0;
    QTest::newRow("record cut short") << catalogue + "\"くま\",\"\",\"\"\r\n" << settings << dataFileName << 5;
    QTest::newRow("26 settings lines") << catalogue << settings.mid(0, 26) << settingsFileName << 0;
    QTest::newRow("name colour not a number") << catalogue << nameColor << settingsFileName << 3;
    QTest::newRow("background colour empty") << catalogue << backColor << settingsFileName << 4;
    QTest::newRow("window width not a number") << catalogue << width << settingsFileName << 14;
}

void TestMainWindow::startupFailure_reportsFileAndWritesNothing()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QByteArrayList, settings);
    QFETCH(QString, faultyFile);
    QFETCH(int, line);
    ChecklistFixture f;
    if (!catalogue.isNull())
        writeBytes(f.path(dataFileName), catalogue);
    if (!settings.isEmpty())
        f.writeSettings(settings);
    const QMap<QString, QByteArray> before = folderContents(f.dir.path());

    f.prompts.expectError();
    QVERIFY(!f.load());

    VERIFY_PROMPTS_DONE(f.prompts);
    QCOMPARE(f.prompts.shown().size(), 1);
    const QString message = f.prompts.lastShown();
    QVERIFY2(message.contains(QDir::toNativeSeparators(f.path(faultyFile))), qPrintable(message));
    if (line > 0)
        QVERIFY2(message.contains(u"%1 行目"_s.arg(line)), qPrintable(message));
    QVERIFY(!f.form->hasSearchWindow());
    f.form.reset();
    QCOMPARE(folderContents(f.dir.path()), before);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
