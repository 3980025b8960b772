#include "converter/catalogueupdate.h"
#include "converter/conversion.h"
#include "converter/updatecommand.h"

#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "scriptedprompts.h"
#include "testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Catalogue lines from short descriptions "name|Set1|Set2|Sell|flags", with the same texts around them.
QByteArray records(const QStringList& descriptions)
{
    QByteArray bytes;
    for (const QString& description : descriptions) {
        const QStringList part = description.split(u'|');
        bytes += sjis(u"\"%1\",\"%2\",\"%3\",\"ギイチ工房\",\"%4\",\"限定\",\"しずく\",%5\r\n"_s.arg(
            part[0], part[1], part[2], part[3], part[4]));
    }
    return bytes;
}

const QString header = u"アイテム名|Set1|Set2|Sell|0,0,0,0"_s;

ItemTable tableOf(const QByteArray& bytes)
{
    ItemTable table;
    if (std::optional<FileError> failure = DataFile::parse(bytes, u"kuradata_v2.csv"_s, &table))
        QTest::qFail(qPrintable(failure->message()), __FILE__, __LINE__);
    return table;
}

QString catalogueIn(const QString& folder)
{
    return QDir(folder).filePath(DataFile::fileName);
}

// Every file under the folder with its bytes, to see that nothing was written.
QMap<QString, QByteArray> contentsOf(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        contents.insert(QDir(folder).relativeFilePath(path), readBytes(path));
    }
    return contents;
}

// A data folder with a catalogue, settings naming the villagers, and a newer catalogue beside the folder.
struct Folders
{
    Folders(const QByteArray& current, const QByteArray& newer)
    {
        QDir(dir.path()).mkdir(u"data"_s);
        writeBytes(catalogueIn(folder()), current);
        Settings settings;
        const QStringList names { u"はなこ"_s, u"Mika"_s, u"3rd"_s, u"ゆう"_s };
        for (int villager = 1; villager <= 4; ++villager) {
            settings.villagername[size_t(villager)] = *StoredText::fromTyped(names[villager - 1]);
            settings.namecolor[size_t(villager)] = *StoredText::fromTyped(u"0"_s);
            settings.bgcolor[size_t(villager)] = *StoredText::fromTyped(u"16777215"_s);
        }
        writeBytes(QDir(folder()).filePath(SettingsFile::fileName), SettingsFile::encode(settings));
        writeBytes(newerPath(), newer);
    }
    QString folder() const { return dir.filePath(u"data"_s); }
    QString newerPath() const { return dir.filePath(u"新しいカタログ.csv"_s); }

    QTemporaryDir dir;
};

const QByteArray current = records({ header, u"しずくの本棚|家具|しずく|1,000つぶ|1,0,2,0"_s,
    u"こもれびのランタン|小物||500つぶ|0,1,0,0"_s, u"よぞらの皿|小物||300つぶ|0,0,0,1"_s });
const QByteArray newer = records({ header, u"こもれびのランタン|小物||500つぶ|0,0,0,0"_s,
    u"しずくの本棚|家具|しずく|1,200つぶ|0,1,0,0"_s, u"ほしぞらの椅子|家具||800つぶ|0,0,0,0"_s });
const QByteArray merged = records({ header, u"こもれびのランタン|小物||500つぶ|0,1,0,0"_s,
    u"しずくの本棚|家具|しずく|1,200つぶ|1,1,2,0"_s, u"ほしぞらの椅子|家具||800つぶ|0,0,0,0"_s });

} // namespace

class tst_CatalogueUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void merge_data();
    void merge();
    void summaryCountsAndListsWhatIsLeft();
    void summaryListsTwentyAndCountsTheRest();
    void yes_keepsCopyThenWritesMerged();
    void noOrClose_writesNothing_data();
    void noOrClose_writesNothing();
    void refusals_data();
    void refusals();
    void plainConversion_refusedWhileRecoveryWaits();
};

void tst_CatalogueUpdate::merge_data()
{
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<QByteArray>("newer");
    QTest::addColumn<QByteArray>("expected");

    const QString lamp = u"こもれびのランタン|小物||500つぶ|"_s;
    const QString shelf = u"しずくの本棚|家具|しずく|1,000つぶ|"_s;
    QTest::newRow("order changed") << records({ header, lamp + u"1,0,0,0"_s, shelf + u"0,1,0,3"_s })
                                   << records({ header, shelf + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
                                   << records({ header, shelf + u"0,1,0,3"_s, lamp + u"1,0,0,0"_s });
    QTest::newRow("added keeps the newer file's flags, removed is gone")
        << records({ header, lamp + u"1,0,0,0"_s, shelf + u"1,1,1,1"_s })
        << records({ header, u"よぞらの皿|小物||300つぶ|0,0,1,0"_s, lamp + u"0,0,0,0"_s })
        << records({ header, u"よぞらの皿|小物||300つぶ|0,0,1,0"_s, lamp + u"1,0,0,0"_s });
    QTest::newRow("renamed has no partner")
        << records({ header, u"しずくの棚|家具|しずく|1,000つぶ|1,0,0,0"_s })
        << records({ header, shelf + u"0,0,0,0"_s }) << records({ header, shelf + u"0,0,0,0"_s });
    QTest::newRow("texts corrected, Set1 too: paired by name")
        << records({ header, shelf + u"1,0,2,0"_s })
        << records({ header, u"しずくの本棚|大型家具|しずく|1,200つぶ|0,0,0,0"_s })
        << records({ header, u"しずくの本棚|大型家具|しずく|1,200つぶ|1,0,2,0"_s });
    QTest::newRow("nonzero kept with its value, zero takes the newer's")
        << records({ header, shelf + u"2,0,1,0"_s }) << records({ header, shelf + u"1,1,0,0"_s })
        << records({ header, shelf + u"2,1,1,0"_s });
    QTest::newRow("repeated in both: k-th with k-th")
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s })
        << records({ header, lamp + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s, lamp + u"0,0,0,0"_s });
    QTest::newRow("repeated, and moved around another record")
        << records({ header, shelf + u"0,0,0,1"_s, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s })
        << records({ header, lamp + u"0,0,0,0"_s, shelf + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"1,0,0,0"_s, shelf + u"0,0,0,1"_s, lamp + u"0,1,0,0"_s });
    QTest::newRow("repeated in the current only: the rest has no partner")
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s }) << records({ header, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"1,0,0,0"_s });
    QTest::newRow("name, Set1 and Set2 before name alone, leftovers in order")
        << records({ header, u"ランプ|赤|||1,0,0,0"_s, u"ランプ|青|||0,1,0,0"_s, u"ランプ|緑|||0,0,1,0"_s })
        << records({ header, u"ランプ|白|||0,0,0,0"_s, u"ランプ|青|||0,0,0,0"_s, u"ランプ|黒|||0,0,0,0"_s })
        << records({ header, u"ランプ|白|||1,0,0,0"_s, u"ランプ|青|||0,1,0,0"_s, u"ランプ|黒|||0,0,1,0"_s });
    QTest::newRow("the header record takes part")
        << records({ u"アイテム名|||見出し|3,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ u"アイテム名|||新しい見出し|0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ u"アイテム名|||新しい見出し|3,0,0,0"_s, lamp + u"0,0,0,0"_s });
    // A bare field keeps the double quotes inside it; they are no part of the name when compared.
    QTest::newRow("names compared without double quotes")
        << records({ header }) + "Ki\"ss\"y,,,,,,,1,0,0,0\r\n"
        << records({ header, u"Kissy||||0,0,0,0"_s }) << records({ header, u"Kissy||||1,0,0,0"_s });
    // 0x8790 and 0x81E0 both read as U+2252; the newer file's own bytes are written back.
    QTest::newRow("the newer file's bytes kept")
        << records({ header, lamp + u"1,0,0,0"_s })
        << records({ header }) + sjis(u"\"こもれびのランタン\",\"小物\",\"\",\"\",\"500つぶ\",\""_s) + "\x87\x90"
            + sjis(u"\",\"\",0,0,0,0\r\n"_s)
        << records({ header }) + sjis(u"\"こもれびのランタン\",\"小物\",\"\",\"\",\"500つぶ\",\""_s) + "\x87\x90"
            + sjis(u"\",\"\",1,0,0,0\r\n"_s);
}

void tst_CatalogueUpdate::merge()
{
    QFETCH(QByteArray, current);
    QFETCH(QByteArray, newer);
    QFETCH(QByteArray, expected);

    const ItemTable currentTable = tableOf(current);
    ItemTable newerTable = tableOf(newer);
    carryOverTicks(currentTable, pairRecords(currentTable, newerTable), &newerTable);
    QCOMPARE(DataFile::encode(newerTable), expected);
}

void tst_CatalogueUpdate::summaryCountsAndListsWhatIsLeft()
{
    const ItemTable currentTable = tableOf(current);
    const ItemTable newerTable = tableOf(newer);
    const UpdateSummary summary = summarizeUpdate(currentTable, newerTable, pairRecords(currentTable, newerTable));

    QCOMPARE(summary.carrying, 2);
    QCOMPARE(summary.added, 1);
    QCOMPARE(summary.left.size(), size_t(1));
    QCOMPARE(summary.leftUnlisted, 0);
    const QString question
        = updateQuestion(summary, u"/tmp/新しいカタログ.csv"_s, { u"はなこ"_s, u"Mika"_s, u"3rd"_s, u"ゆう"_s });
    QVERIFY2(question.contains(u"「/tmp/新しいカタログ.csv」"_s), qPrintable(question));
    QVERIFY2(question.contains(u"印を引き継ぐアイテム: 2\n新しく加わるアイテム: 1\n"_s), qPrintable(question));
    QVERIFY2(question.contains(u"印のあるアイテム: 1\n  よぞらの皿（ゆう）\n"_s), qPrintable(question));
}

void tst_CatalogueUpdate::summaryListsTwentyAndCountsTheRest()
{
    QStringList gone { header };
    for (int i = 1; i <= 25; ++i)
        gone.append(u"品物%1||||%2,0,%3,0"_s.arg(i).arg(i % 2).arg(1 - i % 2));
    gone.append(u"まだ取っていない||||0,0,0,0"_s);
    const ItemTable currentTable = tableOf(records(gone));
    const ItemTable newerTable = tableOf(records({ header }));
    const UpdateSummary summary = summarizeUpdate(currentTable, newerTable, pairRecords(currentTable, newerTable));

    QCOMPARE(summary.left.size(), size_t(UpdateSummary::listed));
    QCOMPARE(summary.leftUnlisted, 5);
    const QString question = updateQuestion(summary, u"new.csv"_s, { u"A"_s, u"B"_s, u"C"_s, u"D"_s });
    QVERIFY2(question.contains(u"印のあるアイテム: 25\n  品物1（A）\n  品物2（C）\n"_s), qPrintable(question));
    QVERIFY2(question.contains(u"  品物20（C）\n  ほか 5 件\n"_s), qPrintable(question));
    QVERIFY(!question.contains(u"品物21"_s));
}

void tst_CatalogueUpdate::yes_keepsCopyThenWritesMerged()
{
    Folders folders(current, newer);
    const QByteArray settingsBefore = readBytes(QDir(folders.folder()).filePath(SettingsFile::fileName));
    ScriptedPrompts prompts;
    prompts.expectQuestion(Prompts::Answer::Yes);
    prompts.expectMessage();

    QCOMPARE(runCatalogueUpdate(prompts, folders.folder(), folders.newerPath()), 0);

    QCOMPARE(prompts.lastButtons(), Prompts::Buttons::YesNoOrClose);
    QVERIFY2(prompts.shown().first().contains(u"  よぞらの皿（ゆう）\n"_s), qPrintable(prompts.shown().first()));
    QCOMPARE(readBytes(catalogueIn(folders.folder())), merged);
    const QStringList copies = QDir(folders.folder() + u"/backup"_s).entryList(QDir::Files);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(
        QRegularExpression(u"^kuradata_v2\\.csv\\.before-update-\\d{8}-\\d{6}$"_s).match(copies.first()).hasMatch(),
        qPrintable(copies.first()));
    const QString copy = folders.folder() + u"/backup/"_s + copies.first();
    QCOMPARE(readBytes(copy), current);
    QVERIFY2(prompts.lastShown().contains(QDir::toNativeSeparators(copy)), qPrintable(prompts.lastShown()));
    QCOMPARE(readBytes(QDir(folders.folder()).filePath(SettingsFile::fileName)), settingsBefore);
    QCOMPARE(readBytes(folders.newerPath()), newer);
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_CatalogueUpdate::noOrClose_writesNothing_data()
{
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::newRow("いいえ") << Prompts::Answer::No;
    QTest::newRow("Escape or the close button") << Prompts::Answer::Cancel;
}

void tst_CatalogueUpdate::noOrClose_writesNothing()
{
    QFETCH(Prompts::Answer, answer);
    Folders folders(current, newer);
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());
    ScriptedPrompts prompts;
    prompts.expectQuestion(answer);

    QCOMPARE(runCatalogueUpdate(prompts, folders.folder(), folders.newerPath()), 1);
    QCOMPARE(contentsOf(folders.dir.path()), before);
    QVERIFY(!QFileInfo::exists(folders.folder() + u"/backup"_s));
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_CatalogueUpdate::refusals_data()
{
    QTest::addColumn<QByteArray>("currentBytes");
    QTest::addColumn<QByteArray>("newerBytes");
    QTest::addColumn<QString>("argument"); // relative to the temporary folder; "data" is the data folder
    QTest::addColumn<bool>("recoveryWaits");
    QTest::addColumn<QString>("namedFile"); // the file the message begins with, relative likewise
    QTest::addColumn<QString>("saying");

    const QString newerName = u"新しいカタログ.csv"_s;
    QTest::newRow("unanswered recovery record")
        << current << newer << newerName << true << u"data/kuradata_v2.csv.recovery"_s << u"先にくらノートを起動して"_s;
    QTest::newRow("the folder's own catalogue, by another way")
        << current << newer << u"data/../data/./kuradata_v2.csv"_s << false << u"data/kuradata_v2.csv"_s
        << u"今のカタログそのもの"_s;
    QTest::newRow("newer file missing") << current << newer << u"ない.csv"_s << false << u"ない.csv"_s
                                        << u"ファイルがありません"_s;
    QTest::newRow("newer file a folder") << current << newer << u"data"_s << false << u"data"_s << u"フォルダです"_s;
    QTest::newRow("newer file not a catalogue")
        << current << records({ header }) + "\"Lamp\",\"\",\"\",\"\",\"\",\"\",\"\",0,x1,0,0\r\n"
        << newerName << false << newerName << u"2 行目: 2 番目の取得フラグ"_s;
    QTest::newRow("newer file empty") << current << QByteArray() << newerName << false << newerName
                                      << u"レコードがひとつもありません"_s;
    QTest::newRow("current catalogue cut short")
        << current + "\"Lamp\",\"\"\r\n"
        << newer << newerName << false << u"data/kuradata_v2.csv"_s << u"5 行目: レコードの途中で"_s;
}

void tst_CatalogueUpdate::refusals()
{
    QFETCH(QByteArray, currentBytes);
    QFETCH(QByteArray, newerBytes);
    QFETCH(QString, argument);
    QFETCH(bool, recoveryWaits);
    QFETCH(QString, namedFile);
    QFETCH(QString, saying);

    Folders folders(currentBytes, newerBytes);
    if (recoveryWaits)
        writeBytes(QDir(folders.folder()).filePath(u"kuradata_v2.csv.recovery"_s), QByteArray("record"));
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());
    ScriptedPrompts prompts;
    prompts.expectError();

    QCOMPARE(runCatalogueUpdate(prompts, folders.folder(), folders.dir.filePath(argument)), 1);
    const QString shown = prompts.lastShown();
    QVERIFY2(shown.startsWith(QDir::toNativeSeparators(folders.dir.filePath(namedFile)) + u'\n'), qPrintable(shown));
    QVERIFY2(shown.contains(saying), qPrintable(shown));
    QCOMPARE(contentsOf(folders.dir.path()), before);
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_CatalogueUpdate::plainConversion_refusedWhileRecoveryWaits()
{
    Folders folders(current, newer);
    writeBytes(QDir(folders.folder()).filePath(u"kuradata.csv"_s), sjis(u"h\r\nこもれびのランタン,1\r\n"_s));
    const QString recovery = QDir(folders.folder()).filePath(u"kuradata_v2.csv.recovery"_s);
    writeBytes(recovery, QByteArray("record"));
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());

    const std::optional<FileError> refusal = convertData(folders.folder());
    QVERIFY(refusal);
    QCOMPARE(refusal->filePath, QDir::toNativeSeparators(recovery));
    QCOMPARE(contentsOf(folders.dir.path()), before);
}

QTEST_MAIN(tst_CatalogueUpdate)
#include "tst_catalogueupdate.moc"
