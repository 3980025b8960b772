#include "converter/conversion.h"

#include "itemdata/cataloguemerge.h"
#include "itemdata/catalogueupdate.h"
#include "itemdata/clock.h"
#include "itemdata/datafile.h"
#include "itemdata/recoveryfile.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/catalogueupdatequestion.h"
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

QStringList namesOf(const ItemTable& table, const std::vector<int>& records)
{
    QStringList names;
    for (const int record : records)
        names.append(table.text(record, ItemTable::Name).toString());
    return names;
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
    QString settingsPath() const { return QDir(folder()).filePath(SettingsFile::fileName); }

    QTemporaryDir dir;
};

const QByteArray current = records({ header, u"しずくの本棚|家具|しずく|1,000つぶ|1,0,2,0"_s,
    u"こもれびのランタン|小物||500つぶ|0,1,0,0"_s, u"よぞらの皿|小物||300つぶ|0,0,0,1"_s });
const QByteArray newer = records({ header, u"こもれびのランタン|小物||500つぶ|0,0,0,0"_s,
    u"しずくの本棚|家具|しずく|1,200つぶ|0,1,0,0"_s, u"ほしぞらの椅子|家具||800つぶ|0,0,0,0"_s });
const QByteArray merged = records({ header, u"こもれびのランタン|小物||500つぶ|0,1,0,0"_s,
    u"しずくの本棚|家具|しずく|1,200つぶ|1,0,2,0"_s, u"ほしぞらの椅子|家具||800つぶ|0,0,0,0"_s });

} // namespace

// A record of unsaved changes as the checklist sets one aside, for the folder's files as they are unless told
// otherwise; it changes villager 2's flag of しずくの本棚 to the given value.
QString setRecoveryAside(const Folders& folders, const QByteArray& forCatalogue, quint8 value)
{
    const RecoveryRecord record { FileStamp::of(forCatalogue), FileStamp::of(readBytes(folders.settingsPath())),
        { { 2, 2, value } }, {} };
    const QString path = QDir(folders.folder()).filePath(u"kuradata_v2.csv.recovery-20261207-153000"_s);
    writeBytes(path, RecoveryFile::encode(record));
    return path;
}

class tst_CatalogueUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void merge_data();
    void merge();
    void questionCountsAndListsWhatIsLost();
    void questionListsTwentyAndCountsTheRest();
    void yes_keepsCopyThenWritesMerged();
    void noOrClose_writesNothing_data();
    void noOrClose_writesNothing();
    void doubtfulFile_warnsFirstWithNoAsDefault_data();
    void doubtfulFile_warnsFirstWithNoAsDefault();
    void refusals_data();
    void refusals();
    void recoverySetAside_refusesOnlyWhileItWouldRestore_data();
    void recoverySetAside_refusesOnlyWhileItWouldRestore();
    void plainConversion_refusedWhileRecoveryWaits();
    void commit_refusesCatalogueChangedSinceRead();
};

void tst_CatalogueUpdate::merge_data()
{
    QTest::addColumn<QByteArray>("current");
    QTest::addColumn<QByteArray>("newer");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QStringList>("lost"); // names of the current records that neither pair nor join

    const QString lamp = u"こもれびのランタン|小物||500つぶ|"_s;
    const QString shelf = u"しずくの本棚|家具|しずく|1,000つぶ|"_s;
    QTest::newRow("order changed") << records({ header, lamp + u"1,0,0,0"_s, shelf + u"0,1,0,3"_s })
                                   << records({ header, shelf + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
                                   << records({ header, shelf + u"0,1,0,3"_s, lamp + u"1,0,0,0"_s }) << QStringList();
    QTest::newRow("added starts unticked whatever the newer file holds, removed is lost")
        << records({ header, lamp + u"1,0,0,0"_s, shelf + u"1,1,1,1"_s })
        << records({ header, u"よぞらの皿|小物||300つぶ|0,0,1,0"_s, lamp + u"0,1,0,0"_s })
        << records({ header, u"よぞらの皿|小物||300つぶ|0,0,0,0"_s, lamp + u"1,0,0,0"_s })
        << QStringList { u"しずくの本棚"_s };
    QTest::newRow("renamed has no partner")
        << records({ header, u"しずくの棚|家具|しずく|1,000つぶ|1,0,0,0"_s })
        << records({ header, shelf + u"0,0,0,0"_s }) << records({ header, shelf + u"0,0,0,0"_s })
        << QStringList { u"しずくの棚"_s };
    QTest::newRow("texts corrected, Set1 too: paired by name")
        << records({ header, shelf + u"1,0,2,0"_s })
        << records({ header, u"しずくの本棚|大型家具|しずく|1,200つぶ|0,0,0,0"_s })
        << records({ header, u"しずくの本棚|大型家具|しずく|1,200つぶ|1,0,2,0"_s }) << QStringList();
    QTest::newRow("the user's four flags as they are, none of the newer file's")
        << records({ header, shelf + u"2,0,1,0"_s }) << records({ header, shelf + u"1,1,0,0"_s })
        << records({ header, shelf + u"2,0,1,0"_s }) << QStringList();
    QTest::newRow("repeated in both: k-th with k-th")
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s })
        << records({ header, lamp + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s, lamp + u"0,0,0,0"_s }) << QStringList();
    QTest::newRow("repeated, and moved around another record")
        << records({ header, shelf + u"0,0,0,1"_s, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s })
        << records({ header, lamp + u"0,0,0,0"_s, shelf + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"1,0,0,0"_s, shelf + u"0,0,0,1"_s, lamp + u"0,1,0,0"_s }) << QStringList();
    QTest::newRow("repeated in the current only: the rest joins its ticks, the larger value per villager")
        << records({ header, lamp + u"2,0,0,0"_s, lamp + u"1,1,0,0"_s }) << records({ header, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"2,1,0,0"_s }) << QStringList();
    QTest::newRow("left over joins the newer record paired last of its key")
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,0,0"_s, lamp + u"0,0,1,0"_s })
        << records({ header, lamp + u"0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ header, lamp + u"1,0,0,0"_s, lamp + u"0,1,1,0"_s }) << QStringList();
    // Without the join, the second red lamp would pair by name with the white one, and the blue one would be lost.
    QTest::newRow("left over joins before pairing by name alone")
        << records({ header, u"ランプ|赤|||1,0,0,0"_s, u"ランプ|赤|||0,0,1,0"_s, u"ランプ|青|||0,1,0,0"_s })
        << records({ header, u"ランプ|赤|||0,0,0,0"_s, u"ランプ|白|||0,0,0,0"_s })
        << records({ header, u"ランプ|赤|||1,0,1,0"_s, u"ランプ|白|||0,1,0,0"_s }) << QStringList();
    QTest::newRow("name, Set1 and Set2 before name alone, leftovers in order")
        << records({ header, u"ランプ|赤|||1,0,0,0"_s, u"ランプ|青|||0,1,0,0"_s, u"ランプ|緑|||0,0,1,0"_s })
        << records({ header, u"ランプ|白|||0,0,0,0"_s, u"ランプ|青|||0,0,0,0"_s, u"ランプ|黒|||0,0,0,0"_s })
        << records({ header, u"ランプ|白|||1,0,0,0"_s, u"ランプ|青|||0,1,0,0"_s, u"ランプ|黒|||0,0,1,0"_s })
        << QStringList();
    QTest::newRow("the header record takes part")
        << records({ u"アイテム名|||見出し|3,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ u"アイテム名|||新しい見出し|0,0,0,0"_s, lamp + u"0,0,0,0"_s })
        << records({ u"アイテム名|||新しい見出し|3,0,0,0"_s, lamp + u"0,0,0,0"_s }) << QStringList();
    // A bare field keeps the double quotes inside it; they are no part of the name when compared.
    QTest::newRow("names compared without double quotes")
        << records({ header }) + "Ki\"ss\"y,,,,,,,1,0,0,0\r\n"
        << records({ header, u"Kissy||||0,0,0,0"_s }) << records({ header, u"Kissy||||1,0,0,0"_s }) << QStringList();
    // 0x8790 and 0x81E0 both read as U+2252; the newer file's own bytes are written back.
    QTest::newRow("the newer file's bytes kept")
        << records({ header, lamp + u"1,0,0,0"_s })
        << records({ header }) + sjis(u"\"こもれびのランタン\",\"小物\",\"\",\"\",\"500つぶ\",\""_s) + "\x87\x90"
            + sjis(u"\",\"\",0,0,0,0\r\n"_s)
        << records({ header }) + sjis(u"\"こもれびのランタン\",\"小物\",\"\",\"\",\"500つぶ\",\""_s) + "\x87\x90"
            + sjis(u"\",\"\",1,0,0,0\r\n"_s)
        << QStringList();
}

void tst_CatalogueUpdate::merge()
{
    QFETCH(QByteArray, current);
    QFETCH(QByteArray, newer);
    QFETCH(QByteArray, expected);
    QFETCH(QStringList, lost);

    const ItemTable currentTable = tableOf(current);
    ItemTable newerTable = tableOf(newer);
    const Pairing pairing = pairRecords(currentTable, newerTable);
    takeTicks(currentTable, pairing, &newerTable);
    QCOMPARE(DataFile::encode(newerTable), expected);
    QCOMPARE(namesOf(currentTable, pairing.lost), lost);
}

void tst_CatalogueUpdate::questionCountsAndListsWhatIsLost()
{
    Folders folders(current, newer);
    CatalogueUpdatePlan plan;
    QVERIFY(!CatalogueUpdate::plan(folders.folder(), folders.newerPath(), &plan));

    QCOMPARE(plan.summary.carrying, 2);
    QCOMPARE(plan.summary.added, 1);
    QCOMPARE(plan.summary.lost.size(), size_t(1));
    QCOMPARE(plan.summary.lostUnlisted, 0);
    QCOMPARE(plan.summary.newerTicked, 1);
    QVERIFY(!plan.isDoubtful());
    const QString question = catalogueUpdateQuestion(plan, folders.folder());
    QVERIFY2(question.startsWith(u"「%1」"_s.arg(QDir::toNativeSeparators(folders.newerPath()))), qPrintable(question));
    QVERIFY2(question.contains(u"印を引き継ぐアイテム: 2\n新しく加わるアイテム: 1\n"_s), qPrintable(question));
    QVERIFY2(question.contains(u"印のあるアイテム: 1\n  よぞらの皿（ゆう）\n"_s), qPrintable(question));
    // The newer file's own tick is named, not taken, and the way to use such a file as it is is given.
    QVERIFY2(question.contains(u"印のついたアイテムが 1 件ありますが、その印は引き継ぎません"_s), qPrintable(question));
    QVERIFY2(question.contains(u"データフォルダ（%1）の kuradata_v2.csv と置き換えて"_s.arg(
                 QDir::toNativeSeparators(folders.folder()))),
        qPrintable(question));
}

void tst_CatalogueUpdate::questionListsTwentyAndCountsTheRest()
{
    QStringList gone { header };
    for (int i = 1; i <= 25; ++i)
        gone.append(u"品物%1||||%2,0,%3,0"_s.arg(i).arg(i % 2).arg(1 - i % 2));
    gone.append(u"まだ取っていない||||0,0,0,0"_s);
    gone.append(u"残る品物||||0,0,0,0"_s);
    Folders folders(records(gone), records({ header, u"残る品物||||0,0,0,0"_s }));
    CatalogueUpdatePlan plan;
    QVERIFY(!CatalogueUpdate::plan(folders.folder(), folders.newerPath(), &plan));

    QCOMPARE(plan.summary.lost.size(), size_t(UpdateSummary::listed));
    QCOMPARE(plan.summary.lostUnlisted, 5);
    QCOMPARE(plan.summary.newerTicked, 0);
    const QString question = catalogueUpdateQuestion(plan, folders.folder());
    QVERIFY2(question.contains(u"印のあるアイテム: 25\n  品物1（はなこ）\n  品物2（3rd）\n"_s), qPrintable(question));
    QVERIFY2(question.contains(u"  品物20（3rd）\n  ほか 5 件\n"_s), qPrintable(question));
    QVERIFY(!question.contains(u"品物21"_s));
    QVERIFY(!question.contains(u"その印は引き継ぎません"_s));
}

void tst_CatalogueUpdate::yes_keepsCopyThenWritesMerged()
{
    Folders folders(current, newer);
    const QByteArray settingsBefore = readBytes(folders.settingsPath());
    ScriptedPrompts prompts;
    prompts.expectQuestion(Prompts::Answer::Yes);
    prompts.expectMessage();

    QVERIFY(updateCatalogue(prompts, nullptr, folders.folder(), folders.newerPath(), systemTime));

    QCOMPARE(prompts.lastButtons(), Prompts::Buttons::YesNoOrClose);
    QCOMPARE(prompts.lastDefaultButton(), std::nullopt);
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
    QCOMPARE(readBytes(folders.settingsPath()), settingsBefore);
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

    QVERIFY(!updateCatalogue(prompts, nullptr, folders.folder(), folders.newerPath(), systemTime));
    QCOMPARE(contentsOf(folders.dir.path()), before);
    QVERIFY(!QFileInfo::exists(folders.folder() + u"/backup"_s));
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_CatalogueUpdate::doubtfulFile_warnsFirstWithNoAsDefault_data()
{
    QTest::addColumn<QByteArray>("currentBytes");
    QTest::addColumn<QByteArray>("newerBytes");
    QTest::addColumn<QStringList>("warnings"); // empty: no warning, and the box's usual default

    const QByteArray asciiCurrent = "\"Item\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n"
                                    "\"Lamp\",\"\",\"\",\"\",\"\",\"\",\"\",1,0,0,0\r\n";
    // Plain ASCII is valid UTF-8 and code page 932 alike: nothing to warn of.
    QTest::newRow("ASCII only") << asciiCurrent << asciiCurrent << QStringList();
    QTest::newRow("valid UTF-8 beyond ASCII")
        << asciiCurrent << asciiCurrent + u"\"ランプ\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n"_s.toUtf8()
        << QStringList { u"UTF-8 で保存されているようです"_s };
    QTest::newRow("no item pairs while ticks would go")
        << current << records({ header, u"ほしぞらの椅子|家具||800つぶ|0,0,0,0"_s })
        << QStringList { u"組になるアイテムがひとつもありません。印はすべてなくなります。"_s };
    QTest::newRow("no item pairs, and no tick to lose")
        << records({ header, u"しずくの本棚|家具|しずく|1,000つぶ|0,0,0,0"_s })
        << records({ header, u"ほしぞらの椅子|家具||800つぶ|0,0,0,0"_s }) << QStringList();
    QTest::newRow("the same catalogue saved as UTF-8: both")
        << current
        << u"\"アイテム名\",\"Set1\",\"Set2\",\"ギイチ工房\",\"Sell\",\"限定\",\"しずく\",0,0,0,0\r\n"
           "\"しずくの本棚\",\"家具\",\"しずく\",\"ギイチ工房\",\"1,000つぶ\",\"限定\",\"しずく\",1,0,2,0\r\n"_s
               .toUtf8()
        << QStringList { u"UTF-8"_s, u"組になるアイテムがひとつもありません"_s };
}

void tst_CatalogueUpdate::doubtfulFile_warnsFirstWithNoAsDefault()
{
    QFETCH(QByteArray, currentBytes);
    QFETCH(QByteArray, newerBytes);
    QFETCH(QStringList, warnings);
    Folders folders(currentBytes, newerBytes);
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());
    ScriptedPrompts prompts;
    prompts.expectQuestion(Prompts::Answer::No);

    QVERIFY(!updateCatalogue(prompts, nullptr, folders.folder(), folders.newerPath(), systemTime));
    const QString firstLine = prompts.lastShown().section(u'\n', 0, 0);
    if (warnings.isEmpty()) {
        QCOMPARE(prompts.lastDefaultButton(), std::nullopt);
        QVERIFY2(!firstLine.startsWith(u"注意"_s), qPrintable(firstLine));
    } else {
        QCOMPARE(prompts.lastDefaultButton(), Prompts::Answer::No);
        QVERIFY2(firstLine.startsWith(u"注意: "_s), qPrintable(firstLine));
        for (const QString& warning : warnings)
            QVERIFY2(firstLine.contains(warning), qPrintable(firstLine));
    }
    QCOMPARE(contentsOf(folders.dir.path()), before);
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
    QTest::newRow("newer file a header and no item")
        << current << records({ header }) << newerName << false << newerName
        << u"見出しの行のほかにアイテムがひとつもありません"_s;
    QTest::newRow("newer file with UTF-8's byte-order mark")
        << current << "\xEF\xBB\xBF" + records({ header, u"しずくの本棚|家具|しずく|1,000つぶ|0,0,0,0"_s }) << newerName
        << false << newerName << u"UTF-8 の BOM で始まっています"_s;
    QTest::newRow("newer file the old single-player file")
        << current << sjis(u"アイテム,取得\r\nこもれびのランタン,1\r\nしずくの本棚,0\r\n"_s) << newerName << false
        << newerName << u"引数を付けずに kuranote_conv を起動して"_s;
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

    QVERIFY(!updateCatalogue(prompts, nullptr, folders.folder(), folders.dir.filePath(argument), systemTime));
    const QString shown = prompts.lastShown();
    QVERIFY2(shown.startsWith(QDir::toNativeSeparators(folders.dir.filePath(namedFile)) + u'\n'), qPrintable(shown));
    QVERIFY2(shown.contains(saying), qPrintable(shown));
    QCOMPARE(contentsOf(folders.dir.path()), before);
    VERIFY_PROMPTS_DONE(prompts);
}

void tst_CatalogueUpdate::recoverySetAside_refusesOnlyWhileItWouldRestore_data()
{
    QTest::addColumn<QByteArray>("recordFor"); // the catalogue the record was written against
    QTest::addColumn<quint8>("value");
    QTest::addColumn<bool>("refused");

    QTest::newRow("would restore") << current << quint8(1) << true;
    QTest::newRow("written for another catalogue") << newer << quint8(1) << false;
    QTest::newRow("its change already in the files") << current << quint8(0) << false;
}

void tst_CatalogueUpdate::recoverySetAside_refusesOnlyWhileItWouldRestore()
{
    QFETCH(QByteArray, recordFor);
    QFETCH(quint8, value);
    QFETCH(bool, refused);
    Folders folders(current, newer);
    writeBytes(QDir(folders.folder()).filePath(u"kuradata.csv"_s), sjis(u"h\r\nこもれびのランタン,1\r\n"_s));
    const QString aside = setRecoveryAside(folders, recordFor, value);
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());

    // The update: refused with the way back to the ticks, or asked as ever.
    ScriptedPrompts prompts;
    if (refused)
        prompts.expectError();
    else
        prompts.expectQuestion(Prompts::Answer::No);
    QVERIFY(!updateCatalogue(prompts, nullptr, folders.folder(), folders.newerPath(), systemTime));
    if (refused) {
        const QString shown = prompts.lastShown();
        QVERIFY2(shown.startsWith(QDir::toNativeSeparators(aside) + u'\n'), qPrintable(shown));
        QVERIFY2(shown.contains(u"くらノートを閉じたまま、この記録の名前を「kuradata_v2.csv.recovery」に戻して"_s),
            qPrintable(shown));
        QVERIFY2(shown.contains(u"削除してください"_s), qPrintable(shown));
    }
    QCOMPARE(contentsOf(folders.dir.path()), before);
    VERIFY_PROMPTS_DONE(prompts);

    // The old-file conversion: the same refusal, or done.
    const std::optional<FileError> refusal = convertData(folders.folder(), systemTime());
    QCOMPARE(bool(refusal), refused);
    if (refused) {
        QCOMPARE(refusal->filePath, QDir::toNativeSeparators(aside));
        QCOMPARE(contentsOf(folders.dir.path()), before);
    } else {
        QVERIFY(readBytes(catalogueIn(folders.folder())) != current);
    }
}

void tst_CatalogueUpdate::plainConversion_refusedWhileRecoveryWaits()
{
    Folders folders(current, newer);
    writeBytes(QDir(folders.folder()).filePath(u"kuradata.csv"_s), sjis(u"h\r\nこもれびのランタン,1\r\n"_s));
    const QString recovery = QDir(folders.folder()).filePath(u"kuradata_v2.csv.recovery"_s);
    writeBytes(recovery, QByteArray("record"));
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());

    const std::optional<FileError> refusal = convertData(folders.folder(), systemTime());
    QVERIFY(refusal);
    QCOMPARE(refusal->filePath, QDir::toNativeSeparators(recovery));
    QCOMPARE(contentsOf(folders.dir.path()), before);
}

void tst_CatalogueUpdate::commit_refusesCatalogueChangedSinceRead()
{
    Folders folders(current, newer);
    CatalogueUpdatePlan plan;
    QVERIFY(!CatalogueUpdate::plan(folders.folder(), folders.newerPath(), &plan));
    // Meanwhile a sync tool brings a tick made elsewhere.
    const QByteArray changed = records({ header, u"しずくの本棚|家具|しずく|1,000つぶ|1,1,2,0"_s,
        u"こもれびのランタン|小物||500つぶ|0,1,0,0"_s, u"よぞらの皿|小物||300つぶ|0,0,0,1"_s });
    writeBytes(catalogueIn(folders.folder()), changed);
    const QMap<QString, QByteArray> before = contentsOf(folders.dir.path());

    QString copy;
    const std::optional<FileError> refusal
        = CatalogueUpdate::commit(folders.folder(), plan, QDateTime::currentDateTime(), &copy);
    QVERIFY(refusal);
    QCOMPARE(refusal->filePath, QDir::toNativeSeparators(catalogueIn(folders.folder())));
    QVERIFY2(refusal->reason.contains(u"読み込んだ後に"_s), qPrintable(refusal->reason));
    QCOMPARE(contentsOf(folders.dir.path()), before);
    QVERIFY(copy.isEmpty());
}

QTEST_MAIN(tst_CatalogueUpdate)
#include "tst_catalogueupdate.moc"
