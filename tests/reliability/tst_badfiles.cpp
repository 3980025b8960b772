// Broken and odd files for every reader. A reader that must stop names the file, the line and what is wrong; the word
// file is read tolerantly; none crashes or hangs, and none writes anything.
#include "reliabilityfixture.h"

#include "checklist/conditionwords.h"
#include "converter/conversion.h"
#include "itemdata/backupfolder.h"
#include "itemdata/clock.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <random>

using namespace kuranote;
using namespace Qt::StringLiterals;

enum class Reader { DataFile, SettingsFile, WordFile, OldFile };
Q_DECLARE_METATYPE(Reader)

namespace {

constexpr int AnyLine = -1;
const QString wordFileName = u"kuraword.csv"_s;

QString fileNameOf(Reader reader)
{
    switch (reader) {
    case Reader::DataFile:
        return DataFile::fileName;
    case Reader::SettingsFile:
        return SettingsFile::fileName;
    case Reader::WordFile:
        return wordFileName;
    case Reader::OldFile:
        return OldFile::fileName;
    }
    return QString();
}

// The same 64 KiB of noise for every reader: quotes, commas, line ends and NUL bytes among the rest.
QByteArray garbage()
{
    std::mt19937 random(20261207);
    QByteArray bytes(64 << 10, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

// A text as a summary shows it: long ones by their start and their length.
QString shortened(QStringView text)
{
    if (text.size() <= 16)
        return text.toString();
    return u"%1…(%2)"_s.arg(text.left(4)).arg(text.size());
}

// One line of a catalogue: a name, six empty texts and the flags.
QByteArray item(const QString& name, const QByteArray& flags = "0,0,0,0")
{
    return sjis(u"\"%1\",\"\",\"\",\"\",\"\",\"\",\"\","_s.arg(name)) + flags + "\r\n";
}

const QByteArray header = item(u"名前"_s);
// A header and three items, nothing ticked.
const QByteArray catalogue = header + item(u"ランプ"_s) + item(u"いす"_s) + item(u"つくえ"_s);

// The sample's 27 settings, each line changed as given, with the line end given.
QByteArray settingsWith(const std::map<int, QByteArray>& changedLines = {}, const QByteArray& lineEnd = "\r\n")
{
    QByteArrayList lines = readBytes(sampleFile(SettingsFile::fileName)).split('\n').mid(0, SettingsFile::lineCount);
    for (QByteArray& line : lines)
        line.chop(1); // the CR of CR LF
    for (const auto& [line, value] : changedLines)
        lines[line - 1] = value;
    return lines.join(lineEnd) + lineEnd;
}

void refused(const char* name, Reader reader, const QByteArray& bytes, int line, const QString& reason)
{
    QTest::newRow(name) << reader << true << bytes << true << line << reason;
}

void read(const char* name, Reader reader, const QByteArray& bytes, const QString& summary)
{
    QTest::newRow(name) << reader << true << bytes << false << 0 << summary;
}

void missing(const char* name, Reader reader, bool refusedOutcome, const QString& expected)
{
    QTest::newRow(name) << reader << false << QByteArray() << refusedOutcome << 0 << expected;
}

// What the program made of a file: the message it showed, or a summary of what it read.
struct Outcome
{
    std::optional<QString> error;
    QString summary;
};

QString flagsOf(const ItemTable& table, int record)
{
    QStringList flags;
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
        flags << QString::number(table.flag(record, villager));
    return flags.join(u' ');
}

// The checklist's own load step, which reads the settings and then the catalogue.
Outcome loadChecklist(const QString& folder, Reader reader)
{
    Checklist checklist(folder);
    checklist.prompts.expectError();
    if (!checklist.load())
        return { checklist.prompts.lastShown(), QString() };
    if (reader == Reader::SettingsFile) {
        return { std::nullopt,
            u"town %1, search window %2 x %3"_s.arg(shortened(checklist.document.settings().townname.text()))
                .arg(checklist.document.settings().seekwidth)
                .arg(checklist.document.settings().seekheight) };
    }
    const ItemTable& table = checklist.document.items();
    return { std::nullopt,
        u"%1 records, last %2, flags %3"_s.arg(table.count())
            .arg(shortened(table.text(table.count(), ItemTable::Name)))
            .arg(flagsOf(table, table.count())) };
}

Outcome buildTree(const QString& folder)
{
    const std::vector<ConditionWord> nodes = loadConditionWords(folder);
    QStringList summary;
    QSet<QString> texts;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const ConditionWord& node = nodes[i];
        // Whatever the file holds, the tree stays one the window can show: unique keys, children under roots.
        if (node.text.isEmpty() || texts.contains(node.text))
            return { u"node %1 is empty or repeated"_s.arg(i), QString() };
        if (node.parent >= 0 && (size_t(node.parent) >= i || nodes[size_t(node.parent)].parent != -1))
            return { u"node %1 hangs under no root"_s.arg(i), QString() };
        texts.insert(node.text);
        summary << shortened(node.text) + (node.parent >= 0 ? u"<%1"_s.arg(node.parent) : QString());
    }
    return { std::nullopt, summary.join(u' ') };
}

Outcome convert(const QString& folder)
{
    if (const std::optional<FileError> failure = convertData(folder, systemTime()))
        return { failure->message(), QString() };
    ItemTable table;
    if (DataFile::load(folder, &table))
        return { u"the converted catalogue does not load"_s, QString() };
    QStringList ticks;
    for (int record = 2; record <= table.count(); ++record)
        ticks << QString::number(table.flag(record, 1));
    return { std::nullopt, u"ticks "_s + ticks.join(u' ') };
}

} // namespace

class tst_BadFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyReader_givesItsDocumentedOutcome_data();
    void everyReader_givesItsDocumentedOutcome();

private:
    void dataFileRows();
    void settingsFileRows();
    void wordFileRows();
    void oldFileRows();
};

void tst_BadFiles::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void tst_BadFiles::dataFileRows()
{
    const Reader r = Reader::DataFile;
    missing("data: missing", r, true, u"ファイルがありません"_s);
    refused("data: record cut short", r, header + "\"a\",\"b\",\"c\"\r\n", 2, u"11 項目のうち 3 項目"_s);
    refused("data: stray empty line at the end", r, catalogue + "\r\n", 5, u"11 項目のうち 1 項目"_s);
    refused("data: flag above 255", r, header + item(u"a"_s, "0,0,256,0"), 2, u"0 から 255"_s);
    refused("data: negative flag", r, header + item(u"a"_s, "-1,0,0,0"), 2, u"0 から 255"_s);
    refused(
        "data: flag of digits and letters", r, header + item(u"a"_s, "1x,0,0,0"), 2, u"「1x」が数値ではありません"_s);
    refused("data: quote never closed", r, header + "\"a,b,0,0,0,0\r\n", 2, u"11 項目のうち 1 項目"_s);
    refused("data: binary garbage", r, garbage(), AnyLine, QString());
    // The name alone on its line, the rest of the record on the next: the lead byte must not take the line end.
    read("data: lone lead byte ending a line inside a record", r,
        header + sjis(u"ランプ"_s) + "\x82\r\n" + R"("","","","","","",1,0,0,0)" + "\r\n",
        u"2 records, last ランプ\uFFFD, flags 1 0 0 0"_s);
    refused("data: lone lead byte ending a line after a flag", r, header + item(u"a"_s, "0,0,0,1\x82"), 2,
        u"数値ではありません"_s);
    read("data: a line of a megabyte", r, header + item(QString(512 << 10, u'あ'), "1,0,0,0"),
        u"2 records, last ああああ…(524288), flags 1 0 0 0"_s);
    // Empty flags read as 0, so 22 commas are two whole records; a megabyte of them ends inside one.
    read("data: only commas, two records", r, QByteArray(22, ','), u"2 records, last , flags 0 0 0 0"_s);
    refused("data: only commas, a megabyte", r, QByteArray(1 << 20, ','), 1, u"11 項目のうち 1 項目"_s);
    read("data: CR without LF", r, QByteArray(catalogue).replace("\r\n", "\r"),
        u"4 records, last つくえ, flags 0 0 0 0"_s);
    refused("data: CR without LF, record cut short on line 3", r,
        QByteArray(header + item(u"ランプ"_s) + sjis(u"\"いす\",\"家具\"\r\n"_s)).replace("\r\n", "\r"), 3,
        u"11 項目のうち 2 項目"_s);
    read("data: LF without CR", r, QByteArray(catalogue).replace("\r\n", "\n"),
        u"4 records, last つくえ, flags 0 0 0 0"_s);
    refused("data: LF without CR, bad flag on line 3", r,
        QByteArray(header + item(u"ランプ"_s) + item(u"いす"_s, "300,0,0,0")).replace("\r\n", "\n"), 3, u"「300」"_s);
}

void tst_BadFiles::settingsFileRows()
{
    const Reader r = Reader::SettingsFile;
    const QString sampleRead = u"town ほしくさ村, search window 2400 x 4200"_s;
    missing("settings: missing", r, true, u"ファイルがありません"_s);
    const QByteArray all = settingsWith();
    refused("settings: 26 lines", r, all.left(all.lastIndexOf("600")), 0, u"26 行しかありません"_s);
    refused("settings: name colour of villager 1", r, settingsWith({ { 3, "\"red\"" } }), 3, u"「red」"_s);
    refused("settings: background colour of villager 1 empty", r, settingsWith({ { 4, "\"\"" } }), 4, u"背景色"_s);
    refused("settings: main window width", r, settingsWith({ { 14, "wide" } }), 14, u"「wide」"_s);
    refused("settings: column width in full-width digits", r, settingsWith({ { 20, sjis(u"１５"_s) } }), 20,
        u"「１５」が数値ではありません"_s);
    refused("settings: height beyond single precision", r, settingsWith({ { 15, QByteArray(40, '9') } }), 15,
        u"大きすぎます"_s);
    // Read as 0, the search window's size gives way to its minimum.
    read("settings: search window size not a number", r, settingsWith({ { 16, "\"x\"" }, { 17, "" } }),
        u"town ほしくさ村, search window 2055 x 2995"_s);
    read("settings: sizes out of any screen", r, settingsWith({ { 14, "-5000" }, { 18, QByteArray(30, '9') } }),
        sampleRead);
    read("settings: extra lines", r, all + "junk\r\n\"x\r\n", sampleRead);
    refused("settings: binary garbage", r, garbage(), AnyLine, QString());
    read("settings: lone lead byte ending a line", r, settingsWith({ { 1, sjis(u"さくら"_s) + '\x82' } }),
        u"town さくら\uFFFD, search window 2400 x 4200"_s);
    read("settings: a line of a megabyte", r, settingsWith({ { 1, '"' + sjis(QString(512 << 10, u'あ')) + '"' } }),
        u"town ああああ…(524288), search window 2400 x 4200"_s);
    refused("settings: only commas", r, QByteArray(1 << 20, ','), 1, u"名前の色「」"_s);
    read("settings: CR without LF", r, settingsWith({}, "\r"), sampleRead);
    refused(
        "settings: CR without LF, bad height on line 15", r, settingsWith({ { 15, "tall" } }, "\r"), 15, u"「tall」"_s);
    read("settings: LF without CR", r, settingsWith({}, "\n"), sampleRead);
}

void tst_BadFiles::wordFileRows()
{
    const Reader r = Reader::WordFile;
    missing("words: missing", r, false, u"全アイテム"_s);
    read("words: repeated texts and the fixed root", r,
        sjis(u"家具\r\n\\椅子\r\n全アイテム\r\n\\机\r\n家具\r\n\\椅子\r\n\\棚\r\n"_s),
        u"全アイテム 家具 椅子<1 棚<1"_s);
    read("words: child before the first root", r, sjis(u"\\迷子\r\n灯り\r\n\\ランプ\r\n"_s),
        u"全アイテム 灯り ランプ<1"_s);
    read("words: empty entries and a lone backslash", r, sjis(u"\r\n,,灯り,\r\n\\\r\n \r\n\\ランプ"_s),
        u"全アイテム 灯り ランプ<1"_s);
    read("words: numbers and dates stay text", r, "007\r\n\\2024/01/02\r\n1e3\r\n",
        u"全アイテム 007 2024/01/02<1 1e3"_s);
    read("words: binary garbage", r, garbage(), QString());
    read("words: lone lead byte ending a line", r, sjis(u"灯り"_s) + "\x82\r\n\\" + sjis(u"ランプ"_s) + "\r\n",
        u"全アイテム 灯り\uFFFD ランプ<1"_s);
    read("words: a line of a megabyte", r,
        sjis(QString(512 << 10, u'あ')) + "\r\n\\" + sjis(QString(512 << 10, u'い')) + "\r\n",
        u"全アイテム ああああ…(524288) いいいい…(9999)<1"_s);
    read("words: only commas", r, QByteArray(1 << 20, ','), u"全アイテム"_s);
    read("words: CR without LF", r, sjis(u"灯り\r\\ランプ\r家具\r\\椅子\r"_s),
        u"全アイテム 灯り ランプ<1 家具 椅子<3"_s);
    read("words: LF without CR", r, sjis(u"灯り\n\\ランプ\n家具\n\\椅子"_s), u"全アイテム 灯り ランプ<1 家具 椅子<3"_s);
}

void tst_BadFiles::oldFileRows()
{
    const Reader r = Reader::OldFile;
    const QByteArray head = sjis(u"旧データ\r\n"_s);
    missing("old: missing", r, true, u"ファイルがありません"_s);
    refused("old: empty, without a first line", r, QByteArray(), 1, u"1 行目（見出しの行）がありません"_s);
    refused("old: line without a comma", r, head + sjis(u"ランプ\r\n"_s), 2, u"コンマがありません"_s);
    refused("old: empty line", r, head + sjis(u"ランプ,1\r\n\r\nいす,1\r\n"_s), 3, u"コンマがありません"_s);
    refused("old: mark not a number", r, head + sjis(u"ランプ,済\r\n"_s), 2, u"「済」"_s);
    refused("old: name with a comma", r, head + sjis(u"ランプ, 大,1\r\n"_s), 2, u"「 大」"_s);
    refused("old: binary garbage", r, garbage(), AnyLine, QString());
    read("old: lone lead byte ending a name", r, head + sjis(u"ランプ"_s) + "\x82,1\r\n" + sjis(u"いす,1\r\n"_s),
        u"ticks 0 1 0"_s);
    refused(
        "old: lone lead byte ending a line", r, head + sjis(u"ランプ,1"_s) + "\x82\r\n", 2, u"数値ではありません"_s);
    read("old: a line of a megabyte", r, head + sjis(QString(512 << 10, u'あ')) + ",1\r\n" + sjis(u"つくえ,1\r\n"_s),
        u"ticks 0 0 1"_s);
    read("old: only commas", r, QByteArray(1 << 20, ','), u"ticks 0 0 0"_s);
    read("old: CR without LF", r, sjis(u"旧データ\rランプ,1\rいす,0\rつくえ,1"_s), u"ticks 1 0 1"_s);
    refused("old: CR without LF, bad mark on line 3", r, sjis(u"旧データ\rランプ,1\rいす,x\r"_s), 3, u"「x」"_s);
    read("old: LF without CR", r, sjis(u"旧データ\nランプ,1\nいす,1\n"_s), u"ticks 1 1 0"_s);
}

void tst_BadFiles::everyReader_givesItsDocumentedOutcome_data()
{
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    // The line the message names; 0 for none, AnyLine for some line of the file.
    QTest::addColumn<int>("line");
    // Part of the reason when refused; else a summary of what was read (for the word file, empty: any sound tree).
    QTest::addColumn<QString>("expected");

    dataFileRows();
    settingsFileRows();
    wordFileRows();
    oldFileRows();
}

void tst_BadFiles::everyReader_givesItsDocumentedOutcome()
{
    QFETCH(Reader, reader);
    QFETCH(bool, exists);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    QFETCH(int, line);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    if (reader == Reader::OldFile)
        writeBytes(QDir(folder).filePath(DataFile::fileName), catalogue);
    const QString file = QDir(folder).filePath(fileNameOf(reader));
    QFile::remove(file);
    if (exists)
        writeBytes(file, bytes);
    const QStringList before = folderSnapshot(folder);

    Outcome outcome;
    switch (reader) {
    case Reader::DataFile:
    case Reader::SettingsFile:
        outcome = loadChecklist(folder, reader);
        break;
    case Reader::WordFile:
        outcome = buildTree(folder);
        break;
    case Reader::OldFile:
        outcome = convert(folder);
        break;
    }

    if (refused) {
        QVERIFY2(outcome.error, qPrintable(u"read as: "_s + outcome.summary));
        const QString& message = *outcome.error;
        QVERIFY2(message.startsWith(QDir::toNativeSeparators(file) + u'\n'), qPrintable(message));
        const QRegularExpressionMatch lineNamed = QRegularExpression(u"\n(\\d+) 行目: "_s).match(message);
        if (line == AnyLine) {
            QVERIFY2(lineNamed.hasMatch() && lineNamed.captured(1).toInt() >= 1, qPrintable(message));
        } else if (line > 0) {
            QVERIFY2(lineNamed.hasMatch(), qPrintable(message));
            QCOMPARE(lineNamed.captured(1).toInt(), line);
        } else {
            QVERIFY2(!lineNamed.hasMatch(), qPrintable(message));
        }
        QVERIFY2(message.contains(expected), qPrintable(message));
    } else {
        QVERIFY2(!outcome.error, qPrintable(outcome.error.value_or(QString())));
        if (!expected.isEmpty())
            QCOMPARE(outcome.summary, expected);
    }

    // Reading writes nothing; only a conversion that went through rewrites the catalogue, after keeping it in
    // the backup folder.
    QStringList after = folderSnapshot(folder);
    if (reader == Reader::OldFile && !refused) {
        const auto isCatalogue = [](const QString& entry) { return entry.startsWith(DataFile::fileName + u' '); };
        after.removeIf(isCatalogue);
        QVERIFY(after.removeOne(BackupFolder::folderName + u'/'));
        QStringList beforeWithoutCatalogue = before;
        beforeWithoutCatalogue.removeIf(isCatalogue);
        QCOMPARE(after, beforeWithoutCatalogue);
    } else {
        QCOMPARE(after, before);
    }
}

QTEST_MAIN(tst_BadFiles)
#include "tst_badfiles.moc"
