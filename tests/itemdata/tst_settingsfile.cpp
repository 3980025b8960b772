#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

QByteArray settingsBytes(const QByteArrayList& lines)
{
    return lines.join("\r\n") + "\r\n";
}

QByteArrayList sampleLines()
{
    return { sjis(u"\"さくらむら\""_s), sjis(u"\"ゆう\""_s), "\"255\"", "\"12648384\"", "\"2nd\"", "\"0\"",
        "\"16777215\"", "\"3rd\"", "\"abc\"", "\"65280\"", "\"4th\"", "\"0\"", "\"16711680\"", "5595", "4800", "2400",
        "4200", "1800", "330", "330", "330", "1100", "1100", "1000", "700", "1500", "600" };
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void readsAllTwentySevenLines();
    void roundTrip_writesTheSameBytes();
    void writesChangedValues();
    void badFile_isRefused_data();
    void badFile_isRefused();
    void seekSizeThatIsNoNumber_readsAsZero();
    void extraLines_areIgnored();
    void colorText_data();
    void colorText();
    void storableName_keepsEveryLaterLineInPlace();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettingsFile::readsAllTwentySevenLines()
{
    writeBytes(m_dir->filePath(SettingsFile::fileName), settingsBytes(sampleLines()));
    Settings settings;
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    QCOMPARE(settings.townname.text(), u"さくらむら");
    QCOMPARE(settings.villagername[1].text(), u"ゆう");
    QCOMPARE(settings.namecolor[1].text(), u"255");
    QCOMPARE(settings.bgcolor[4].text(), u"16711680");
    // Only villager 1's colours must be numbers at start.
    QCOMPARE(settings.namecolor[3].text(), u"abc");
    QCOMPARE(settings.mainWidth, 5595.0f);
    QCOMPARE(settings.mainHeight, 4800.0f);
    QCOMPARE(settings.seekwidth, 2400);
    QCOMPARE(settings.seekheight, 4200);
    QCOMPARE(settings.columnWidths[0], 1800.0f);
    QCOMPARE(settings.columnWidths[9], 600.0f);
}

void TestSettingsFile::roundTrip_writesTheSameBytes()
{
    const QByteArray bytes = settingsBytes(sampleLines());
    writeBytes(m_dir->filePath(SettingsFile::fileName), bytes);
    Settings settings;
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    QVERIFY(!SettingsFile::save(m_dir->path(), settings));
    QCOMPARE(readBytes(m_dir->filePath(SettingsFile::fileName)), bytes);
}

void TestSettingsFile::writesChangedValues()
{
    writeBytes(m_dir->filePath(SettingsFile::fileName), settingsBytes(sampleLines()));
    Settings settings;
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    settings.villagername[3] = *StoredText::fromTyped(u"はな, 2号"_s);
    settings.mainWidth = 4720.5f;
    settings.columnWidths[9] = 0;
    // Found by fuzzing: written "-0", it read back as zero, which the next save wrote "0".
    settings.columnWidths[8] = -0.0000004f;
    QVERIFY(!SettingsFile::save(m_dir->path(), settings));
    QByteArrayList expected = sampleLines();
    expected[7] = sjis(u"\"はな, 2号\""_s);
    expected[13] = "4720.5";
    expected[25] = "0";
    expected[26] = "0";
    QCOMPARE(readBytes(m_dir->filePath(SettingsFile::fileName)), settingsBytes(expected));
}

void TestSettingsFile::badFile_isRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QByteArrayList lines = sampleLines();
    QTest::newRow("26 lines") << settingsBytes(lines.mid(0, 26)) << 0 << u"26 行しかありません"_s;
    QTest::newRow("empty file") << QByteArray() << 0 << u"0 行しかありません"_s;
    lines = sampleLines();
    lines[2] = "\"red\"";
    QTest::newRow("name colour of villager 1") << settingsBytes(lines) << 3 << u"「red」"_s;
    lines = sampleLines();
    lines[3] = "\"\"";
    QTest::newRow("background colour of villager 1") << settingsBytes(lines) << 4 << u"背景色"_s;
    lines = sampleLines();
    lines[14] = "tall";
    QTest::newRow("main window height") << settingsBytes(lines) << 15 << u"「tall」"_s;
    lines = sampleLines();
    lines[26] = "";
    QTest::newRow("last column width empty") << settingsBytes(lines) << 27 << u"数値ではありません"_s;
    // Found by fuzzing: read as infinity, such a width was saved as "inf", and the next start refused the file.
    lines = sampleLines();
    lines[13] = "1" + QByteArray(39, '0');
    QTest::newRow("width beyond single precision") << settingsBytes(lines) << 14 << u"大きすぎます"_s;
    // Several values on one line: the message names the line the user can find them on.
    lines = sampleLines();
    QTest::newRow("values on one line") << lines.mid(0, 2).join(",") + "," + "\"blue\"\r\n" << 1 << u"「blue」"_s;
}

void TestSettingsFile::badFile_isRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    writeBytes(m_dir->filePath(SettingsFile::fileName), bytes);
    Settings settings;
    const std::optional<FileError> failure = SettingsFile::load(m_dir->path(), &settings);
    QVERIFY(failure);
    QCOMPARE(failure->line, line);
    QVERIFY2(failure->reason.contains(reason), qPrintable(failure->reason));
    QVERIFY(failure->message().contains(SettingsFile::fileName));
}

void TestSettingsFile::seekSizeThatIsNoNumber_readsAsZero()
{
    QByteArrayList lines = sampleLines();
    lines[15] = "wide";
    lines[16] = "";
    writeBytes(m_dir->filePath(SettingsFile::fileName), settingsBytes(lines));
    Settings settings;
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    QCOMPARE(settings.seekwidth, 0);
    QCOMPARE(settings.seekheight, 0);
}

void TestSettingsFile::extraLines_areIgnored()
{
    writeBytes(
        m_dir->filePath(SettingsFile::fileName), settingsBytes(sampleLines() + QByteArrayList { "junk", "\"x\"" }));
    Settings settings;
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    QCOMPARE(settings.columnWidths[9], 600.0f);
}

void TestSettingsFile::colorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value"); // -1: not a colour

    QTest::newRow("white") << u"16777215"_s << qint64(0xFFFFFF);
    QTest::newRow("light green") << u"12648384"_s << qint64(0xC0FFC0);
    QTest::newRow("zero") << u"0"_s << qint64(0);
    QTest::newRow("past white") << u"16777216"_s << qint64(-1);
    QTest::newRow("negative") << u"-1"_s << qint64(-1);
    QTest::newRow("word") << u"red"_s << qint64(-1);
    QTest::newRow("empty") << QString() << qint64(-1);
}

void TestSettingsFile::colorText()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    const std::optional<quint32> parsed = parseColorText(text);
    QCOMPARE(parsed ? qint64(*parsed) : qint64(-1), value);
    if (parsed)
        QCOMPARE(kuranote::colorText(*parsed), text);
}

void TestSettingsFile::storableName_keepsEveryLaterLineInPlace()
{
    Settings settings;
    writeBytes(m_dir->filePath(SettingsFile::fileName), settingsBytes(sampleLines()));
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    const std::optional<StoredText> name = storableName(u"\"はる\"か"_s);
    QVERIFY(name);
    QCOMPARE(name->text(), u"＂はる＂か"_s);
    settings.villagername[2] = *name;

    Settings read;
    QVERIFY(!SettingsFile::parse(SettingsFile::encode(settings), SettingsFile::fileName, &read));
    QCOMPARE(read.villagername[2].text(), u"＂はる＂か"_s);
    QCOMPARE(read.namecolor[2].text(), u"0"_s);
    QCOMPARE(read.columnWidths[9], 600.0f);

    QVERIFY(!storableName(u"はる🌸"_s));
}

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
