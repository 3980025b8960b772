#include "converter/window/convertwindow.h"
#include "platform/widgets/japanesefont.h"

#include "scriptedprompts.h"
#include "testfiles.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using kuranote::ConvertWindow;
using kuranote::systemTime;
using namespace Qt::StringLiterals;

namespace {

const QByteArray catalogue = sjis(u"\"アイテム名\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n"
                                  "\"しずくの本棚\",\"家具\",\"\",\"\",\"\",\"\",\"\",0,1,0,0\r\n"_s);
const QByteArray converted = sjis(u"\"アイテム名\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n"
                                  "\"しずくの本棚\",\"家具\",\"\",\"\",\"\",\"\",\"\",1,1,0,0\r\n"_s);
const QByteArray oldFile = sjis(u"旧データ\r\nしずくの本棚,1\r\n"_s);

// A folder holding a catalogue and an old file.
struct Folder
{
    explicit Folder(const QByteArray& oldBytes = oldFile)
    {
        writeBytes(catalogue(), ::catalogue);
        writeBytes(dir.filePath(u"kuradata.csv"_s), oldBytes);
    }
    QString catalogue() const { return dir.filePath(u"kuradata_v2.csv"_s); }

    QTemporaryDir dir;
};

} // namespace

class tst_ConvertWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void looksLikeAFixedStatusWindow();
    void firstActivation_convertsReportsAndEndsWithZero();
    void laterActivations_convertNothingMore();
    void failure_showsErrorAndEndsWithOne();
};

void tst_ConvertWindow::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    // The program's own interface font, which decides whether the caption fits.
    QApplication::setFont(kuranote::japaneseInterfaceFont());
}

void tst_ConvertWindow::looksLikeAFixedStatusWindow()
{
    ScriptedPrompts prompts;
    ConvertWindow window(prompts, QString(), systemTime);

    QCOMPARE(window.windowTitle(), u"こんばーちゃ"_s);
    // 2460 x 615 twips, and it cannot be resized.
    QCOMPARE(window.size(), QSize(164, 41));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QCOMPARE(window.windowType(), Qt::Tool);
    QVERIFY(window.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(window.testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(window.geometry().center(), window.screen()->geometry().center());

    const QList<QSize> iconSizes = window.windowIcon().availableSizes();
    QVERIFY2(iconSizes.contains(QSize(32, 32)) && iconSizes.contains(QSize(16, 16)), "icon pictures missing");

    const auto* label = window.findChild<QLabel*>(u"Label1"_s);
    QVERIFY(label);
    QCOMPARE(label->text(), u"コンバート中らしいぞ|ﾟｗﾟ|"_s);
    // 240, 240, 1935, 255 twips, and wider where the font needs it for the whole caption.
    QCOMPARE(label->pos(), QPoint(16, 16));
    QCOMPARE(label->height(), 17);
    QVERIFY(label->width() >= 129);
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
    QVERIFY(label->geometry().right() < window.width());
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_ConvertWindow::firstActivation_convertsReportsAndEndsWithZero()
{
    Folder folder;
    ScriptedPrompts prompts;
    prompts.expectMessage();
    ConvertWindow window(prompts, folder.dir.path(), systemTime);
    QSignalSpy finished(&window, &ConvertWindow::finished);

    // Nothing happens before the window becomes active.
    QCOMPARE(readBytes(folder.catalogue()), catalogue);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), 0);
    QCOMPARE(prompts.shown(), QStringList { u"コンバート終了|ﾟｗﾟ|"_s });
    QCOMPARE(readBytes(folder.catalogue()), converted);
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_ConvertWindow::laterActivations_convertNothingMore()
{
    Folder folder;
    ScriptedPrompts prompts;
    prompts.expectMessage();
    ConvertWindow window(prompts, folder.dir.path(), systemTime);
    QSignalSpy finished(&window, &ConvertWindow::finished);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(finished.count(), 1);

    // Put the unconverted file back and let the window lose and regain activation.
    writeBytes(folder.catalogue(), catalogue);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QCOMPARE(finished.count(), 1);
    QCOMPARE(readBytes(folder.catalogue()), catalogue);
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_ConvertWindow::failure_showsErrorAndEndsWithOne()
{
    Folder folder(sjis(u"h\r\nしずくの本棚,1\r\n\"Ham, eggs\",1\r\n"_s));
    ScriptedPrompts prompts;
    prompts.expectError();
    ConvertWindow window(prompts, folder.dir.path(), systemTime);
    QSignalSpy finished(&window, &ConvertWindow::finished);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), 1);
    QCOMPARE(prompts.shown().size(), 1);
    const QString shown = prompts.shown().first();
    QVERIFY2(shown.startsWith(QDir::toNativeSeparators(folder.dir.filePath(u"kuradata.csv"_s))), qPrintable(shown));
    QVERIFY2(shown.contains(u"3 行目"_s), qPrintable(shown));
    QCOMPARE(readBytes(folder.catalogue()), catalogue);
    VERIFY_PROMPTS_DONE(prompts);
}

QTEST_MAIN(tst_ConvertWindow)
#include "tst_convertwindow.moc"
