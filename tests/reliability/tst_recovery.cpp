// The safety net between saves: every unsaved change is kept in a recovery file that a killed session leaves behind
// and the next start offers back; a save never overwrites a file changed elsewhere without asking.
#include "reliabilityfixture.h"
#include "sessionchanges.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/recoveryfile.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/widgetcolors.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

using Answer = Prompts::Answer;

const QString helperProgram = QStringLiteral(KURANOTE_SAVEHELPER);

QString fileIn(const QString& folder, const QString& fileName)
{
    return QDir(folder).filePath(fileName);
}

int killCount()
{
    return qEnvironmentVariableIsSet("KURANOTE_KILLS") ? qEnvironmentVariableIntValue("KURANOTE_KILLS") : 20;
}

// Starts the helper and waits until it has loaded; false with the reason in the output when it could not.
bool startHelper(QProcess& helper, const QString& mode, const QString& folder, QByteArray* output)
{
    helper.start(helperProgram, { mode, folder });
    if (!helper.waitForStarted())
        return false;
    while (!output->contains("loaded")) {
        if (!helper.waitForReadyRead(60000)) {
            *output += helper.readAllStandardError();
            return false;
        }
        *output += helper.readAllStandardOutput();
    }
    return true;
}

// Kills the helper; the lines it printed.
QList<QByteArray> kill(QProcess& helper, QByteArray output)
{
    helper.kill();
    helper.waitForFinished(30000);
    output += helper.readAllStandardOutput();
    return output.trimmed().split('\n');
}

// How many values of the catalogue and the settings differ between two states.
int differences(
    const ItemTable& items, const Settings& settings, const ItemTable& otherItems, const Settings& otherSettings)
{
    int count = 0;
    for (int record = 1; record <= items.count(); ++record) {
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            count += items.flag(record, villager) != otherItems.flag(record, villager);
    }
    count += !(settings.townname == otherSettings.townname);
    for (int villager = 1; villager <= 4; ++villager) {
        count += !(settings.villagername[villager] == otherSettings.villagername[villager]);
        count += !(settings.namecolor[villager] == otherSettings.namecolor[villager]);
        count += !(settings.bgcolor[villager] == otherSettings.bgcolor[villager]);
    }
    return count;
}

// What the save command writes after the first n session changes to the sample files, and how many values
// those changes left different.
struct SessionSave
{
    QByteArray data;
    QByteArray settings;
    int changes = 0;
};

SessionSave saveAfterSessionChanges(int n)
{
    QTemporaryDir dir;
    copySampleFiles(dir.path());
    Checklist session(dir.path());
    if (!session.load())
        return {};
    const ItemTable loadedItems = session.document.items();
    const Settings loadedSettings = session.document.settings();
    for (int change = 1; change <= n; ++change)
        makeSessionChange(session.document, change);
    SessionSave saved;
    saved.changes = differences(session.document.items(), session.document.settings(), loadedItems, loadedSettings);
    session.prompts.expectQuestion(Answer::Ok);
    ui(session.form).btnsave->trigger();
    saved.data = readBytes(fileIn(dir.path(), DataFile::fileName));
    saved.settings = readBytes(fileIn(dir.path(), SettingsFile::fileName));
    return saved;
}

// The names in a folder that a recovery file moved aside would have.
QStringList movedAside(const QString& folder)
{
    const QRegularExpression aside(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(RecoveryFile::fileName) + u"-\\d{8}-\\d{6}(-\\d+)?"_s));
    return QDir(folder).entryList(QDir::Files).filter(aside);
}

} // namespace

Q_DECLARE_METATYPE(kuranote::Prompts::Answer)

class tst_Recovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedAfterChanges_nextStartRestoresWhatASaveWouldHaveWritten();
    void killedWhileRecording_leavesARecordTheNextStartTakes();
    void restartAfterCrash_offersTheChanges_data();
    void restartAfterCrash_offersTheChanges();
    void unusableRecord_isMovedAsideAndTheStartGoesOn_data();
    void unusableRecord_isMovedAsideAndTheStartGoesOn();
    void fileChangedElsewhere_saveAsksBeforeOverwriting_data();
    void fileChangedElsewhere_saveAsksBeforeOverwriting();
    void normalEnd_leavesNoRecoveryFile_data();
    void normalEnd_leavesNoRecoveryFile();
};

void tst_Recovery::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY2(QFileInfo(helperProgram).isExecutable(), qPrintable(helperProgram));
}

void tst_Recovery::killedAfterChanges_nextStartRestoresWhatASaveWouldHaveWritten()
{
    const int kills = killCount();
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int offered = 0;
    int lastChange = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        copySampleFiles(dir.path());
        QProcess helper;
        QByteArray output;
        QVERIFY2(startHelper(helper, u"record"_s, dir.path(), &output), output.constData());
        QThread::msleep(random.bounded(50, 1000));
        const QList<QByteArray> lines = ::kill(helper, output);
        QVERIFY2(helper.exitStatus() == QProcess::CrashExit, lines.join('\n').constData());

        // Killed after "recorded n", the record holds the first n changes. Killed between "changing m" and
        // "recorded m", it may hold them or the m changes: either is what a save at that moment would keep,
        // give or take the changes of the last moment, which the record has not had time to take.
        QList<int> possible;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> words = line.split(' ');
            if (words.first() == "loaded" || words.first() == "recorded")
                possible = { words.last().toInt() };
            else if (words.first() == "changing")
                possible = { possible.first(), words.last().toInt() };
        }
        lastChange = std::max(lastChange, possible.last());

        Checklist restarted(dir.path());
        const bool hasRecord = QFileInfo::exists(fileIn(dir.path(), RecoveryFile::fileName));
        if (hasRecord)
            restarted.prompts.expectQuestion(Answer::Yes);
        QVERIFY(restarted.load());
        restarted.prompts.expectQuestion(Answer::Ok);
        ui(restarted.form).btnsave->trigger();
        VERIFY_PROMPTS_DONE(restarted.prompts);
        offered += hasRecord;
        const QByteArray data = readBytes(fileIn(dir.path(), DataFile::fileName));
        const QByteArray settings = readBytes(fileIn(dir.path(), SettingsFile::fileName));
        std::optional<int> matched;
        for (int n : possible) {
            const SessionSave expected = saveAfterSessionChanges(n);
            if (data != expected.data || settings != expected.settings)
                continue;
            matched = n;
            if (hasRecord) {
                const QString question = restarted.prompts.shown().first();
                QVERIFY2(question.contains(u" %1 件"_s.arg(expected.changes)), qPrintable(question));
            } else {
                QCOMPARE(expected.changes, 0);
            }
        }
        QVERIFY2(matched,
            qPrintable(
                u"kill %1 (seed %2) after \"%3\": the saved files are not those of a save after changes %4"_s.arg(kill)
                    .arg(seed)
                    .arg(QString::fromLatin1(lines.last()))
                    .arg(QString::fromLatin1(
                        QByteArray::number(possible.first()) + " or " + QByteArray::number(possible.last())))));
        QVERIFY(!QFileInfo::exists(fileIn(dir.path(), RecoveryFile::fileName)));
    }
    qInfo("%d kills (seed %u), up to change %d; %d next starts offered changes", kills, seed, lastChange, offered);
    QVERIFY(offered > 0);
}

void tst_Recovery::killedWhileRecording_leavesARecordTheNextStartTakes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    // A catalogue of some ten thousand items gives a record long enough to be killed in the middle of writing.
    writeBytes(fileIn(folder, DataFile::fileName), largeCatalogue(1 << 20));
    ItemTable loaded;
    QVERIFY(!DataFile::load(folder, &loaded));

    const int kills = killCount();
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int killsWhileRecording = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        QFile::remove(fileIn(folder, RecoveryFile::fileName));
        QProcess helper;
        QByteArray output;
        QVERIFY2(startHelper(helper, u"rerecord"_s, folder, &output), output.constData());
        QThread::msleep(random.bounded(300));
        const QList<QByteArray> lines = ::kill(helper, output);
        QVERIFY2(helper.exitStatus() == QProcess::CrashExit, lines.join('\n').constData());
        killsWhileRecording += lines.last().startsWith("recording");

        // Any message would be a refusal, and fails the test as a prompt nobody expected.
        Checklist restarted(folder);
        if (!QFileInfo::exists(fileIn(folder, RecoveryFile::fileName)))
            continue; // killed before the first record was written
        restarted.prompts.expectQuestion(Answer::Yes);
        QVERIFY(restarted.load());
        VERIFY_PROMPTS_DONE(restarted.prompts);
        const QByteArray town = restarted.document.settings().townname.bytes();
        QVERIFY2(town == "X" || town == "Y",
            qPrintable(u"kill %1 (seed %2): the village is named \"%3\""_s.arg(kill).arg(seed).arg(
                QString::fromLatin1(town))));
        const ItemTable& items = restarted.document.items();
        for (int record = 2; record <= items.count(); ++record)
            QCOMPARE(items.flag(record, 1), quint8(loaded.flag(record, 1) ? 0 : 1));
        QCOMPARE(movedAside(folder), QStringList());
    }
    qInfo("%d kills (seed %u), %d of them while the record was being written", kills, seed, killsWhileRecording);
    // Kills that all fell outside a write would have proved nothing.
    QVERIFY(killsWhileRecording > 0);
}

void tst_Recovery::restartAfterCrash_offersTheChanges_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("はい restores them") << Answer::Yes;
    QTest::newRow("いいえ drops them") << Answer::No;
    QTest::newRow("closed unanswered keeps them aside") << Answer::Cancel;
}

void tst_Recovery::restartAfterCrash_offersTheChanges()
{
    QFETCH(Answer, answer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    const QByteArray loadedData = readBytes(fileIn(folder, DataFile::fileName));
    const QByteArray loadedSettings = readBytes(fileIn(folder, SettingsFile::fileName));
    const QString recovery = fileIn(folder, RecoveryFile::fileName);

    // A session changes a little of everything a save writes, then ends without a word.
    QByteArray changedData;
    Settings changedSettings;
    std::vector<std::pair<int, bool>> ticks;
    {
        Checklist session(folder);
        QVERIFY(session.load());
        ChecklistDocument& document = session.document;
        for (int row : { 0, 3, 4 }) {
            document.toggleRow(row);
            ticks.emplace_back(document.list().record(row), document.list().isChecked(row));
        }
        document.renameVillage(*StoredText::fromTyped(u"みなと村"_s));
        document.renameVillager(*StoredText::fromTyped(u"ゆずこ"_s));
        document.setBackColor(0x55AA00);
        document.setNameColor(0xCC0033);
        document.switchVillager(2);
        document.renameVillager(*StoredText::fromTyped(u"そうたろう"_s));
        document.toggleRow(1);
        QTRY_VERIFY(QFileInfo::exists(recovery));
        changedData = DataFile::encode(document.items());
        changedSettings = document.settings();
    }
    const int changes = 3 + 1 + 5; // three ticks of villager 1, one of villager 2, five texts
    const QByteArray record = readBytes(recovery);

    Checklist restarted(folder);
    restarted.prompts.expectQuestion(answer);
    if (answer == Answer::Cancel)
        restarted.prompts.expectMessage();
    QVERIFY(restarted.load());
    VERIFY_PROMPTS_DONE(restarted.prompts);
    const QString question = restarted.prompts.shown().first();
    QVERIFY2(question.contains(u" %1 件"_s.arg(changes)), qPrintable(question));
    QCOMPARE(restarted.prompts.lastButtons(), Prompts::Buttons::YesNoOrClose);
    const MainControls controls = ui(restarted.form);
    ChecklistDocument& document = restarted.document;

    if (answer != Answer::Yes) {
        // Only いいえ deletes the record; a question closed without an answer keeps it under a dated name.
        const QStringList aside = movedAside(folder);
        if (answer == Answer::Cancel) {
            QCOMPARE(aside.size(), 1);
            QCOMPARE(readBytes(fileIn(folder, aside.first())), record);
            const QString message = restarted.prompts.lastShown();
            QVERIFY2(message.contains(QDir::toNativeSeparators(fileIn(folder, aside.first()))), qPrintable(message));
        } else {
            QVERIFY(aside.isEmpty());
        }
        QVERIFY(!QFileInfo::exists(recovery));
        QVERIFY(!document.isModified());
        QCOMPARE(DataFile::encode(document.items()), loadedData);
        Settings loaded;
        QVERIFY(!SettingsFile::parse(loadedSettings, QString(), &loaded));
        QCOMPARE(differences(document.items(), document.settings(), document.items(), loaded), 0);
        QCOMPARE(controls.lblname->text(), u"1st"_s);
        return;
    }

    // Shown as the ended session showed them, and unsaved like any change.
    QVERIFY(document.isModified());
    QCOMPARE(DataFile::encode(document.items()), changedData);
    QCOMPARE(controls.lbltown->text(), u"みなと村"_s);
    QCOMPARE(controls.lblname->text(), u"ゆずこ"_s);
    QCOMPARE(controls.btnchg1[1]->text(), u"そうたろう"_s);
    QCOMPARE(bgrFromColor(restarted.form->BackColor()), 0x55AA00u);
    QCOMPARE(bgrFromColor(controls.lblname->palette().color(QPalette::WindowText)), 0xCC0033u);
    const ReportListModel& rows = document.list();
    for (const auto& [record, checked] : ticks) {
        int row = 0;
        while (row < rows.rowCount() && rows.record(row) != record)
            ++row;
        QVERIFY(row < rows.rowCount());
        QCOMPARE(rows.isChecked(row), checked);
    }
    QVERIFY(QFileInfo::exists(recovery));

    restarted.prompts.expectQuestion(Answer::Yes);
    QVERIFY(restarted.form->close());
    VERIFY_PROMPTS_DONE(restarted.prompts);
    QCOMPARE(readBytes(fileIn(folder, DataFile::fileName)), changedData);
    Settings saved;
    QVERIFY(!SettingsFile::load(folder, &saved));
    QCOMPARE(differences(document.items(), saved, document.items(), changedSettings), 0);
    QVERIFY(!QFileInfo::exists(recovery));
}

void tst_Recovery::unusableRecord_isMovedAsideAndTheStartGoesOn_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("reason");

    QTemporaryDir dir;
    copySampleFiles(dir.path());
    const FileStamp data = FileStamp::of(readBytes(fileIn(dir.path(), DataFile::fileName)));
    const FileStamp settings = FileStamp::of(readBytes(fileIn(dir.path(), SettingsFile::fileName)));
    const QByteArray good = RecoveryFile::encode({ data, settings, { { 2, 1, 1 }, { 3, 2, 1 } }, {} });
    QByteArray changedByte = good;
    changedByte[changedByte.size() - 3] = '0';
    FileStamp otherData = data;
    otherData.digest[0] = char(otherData.digest[0] ^ 1);
    FileStamp otherSettings = settings;
    otherSettings.size += 1;

    QTest::newRow("written for another catalogue")
        << RecoveryFile::encode({ otherData, settings, { { 2, 1, 1 } }, {} }) << DataFile::fileName;
    QTest::newRow("written for other settings") << RecoveryFile::encode(
        { data, otherSettings, {}, { { SettingsText::TownName, 0, StoredText::fromBytes("X") } } })
                                                << SettingsFile::fileName;
    QTest::newRow("an item beyond the catalogue")
        << RecoveryFile::encode({ data, settings, { { 5000, 1, 1 } }, {} }) << u"5000"_s;
    QTest::newRow("a byte changed") << changedByte << u"確かめの値"_s;
    QTest::newRow("cut short") << good.left(good.size() - 6) << u"途中で切れて"_s;
    QTest::newRow("a catalogue's first line")
        << readBytes(sampleFile(DataFile::fileName)).left(200) << u"復元用ファイルではありません"_s;
    QTest::newRow("empty") << QByteArray() << u"復元用ファイルではありません"_s;
}

void tst_Recovery::unusableRecord_isMovedAsideAndTheStartGoesOn()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    const QString recovery = fileIn(folder, RecoveryFile::fileName);
    writeBytes(recovery, record);
    const QByteArray loadedData = readBytes(fileIn(folder, DataFile::fileName));

    Checklist restarted(folder);
    restarted.prompts.expectMessage();
    QVERIFY(restarted.load());
    VERIFY_PROMPTS_DONE(restarted.prompts);

    // Never applied, never lost: kept whole under a name that says when, which the message gives with the reason.
    const QStringList aside = movedAside(folder);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(readBytes(fileIn(folder, aside.first())), record);
    QVERIFY(!QFileInfo::exists(recovery));
    const QString message = restarted.prompts.lastShown();
    QVERIFY2(message.contains(QDir::toNativeSeparators(recovery) + u'\n'), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(fileIn(folder, aside.first()))), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY(!restarted.document.isModified());
    QCOMPARE(DataFile::encode(restarted.document.items()), loadedData);

    // The session records its own changes afresh.
    restarted.document.toggleRow(0);
    restarted.document.recordRecovery();
    QVERIFY(QFileInfo::exists(recovery));
    QCOMPARE(readBytes(fileIn(folder, aside.first())), record);
}

void tst_Recovery::fileChangedElsewhere_saveAsksBeforeOverwriting_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("closing"); // through Yes at the close question, else the save command
    QTest::addColumn<Answer>("answer");
    for (const QString& fileName : { DataFile::fileName, SettingsFile::fileName }) {
        for (bool closing : { false, true }) {
            for (Answer answer : { Answer::No, Answer::Yes }) {
                QTest::addRow("%s, %s, %s", qPrintable(fileName), closing ? "close question" : "save command",
                    answer == Answer::Yes ? "はい" : "いいえ")
                    << fileName << closing << answer;
            }
        }
    }
}

void tst_Recovery::fileChangedElsewhere_saveAsksBeforeOverwriting()
{
    QFETCH(QString, fileName);
    QFETCH(bool, closing);
    QFETCH(Answer, answer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    Checklist checklist(folder);
    QVERIFY(checklist.load());
    checklist.form->show();
    checklist.document.toggleRow(0);

    // Another program rewrites the file with as many bytes, so that only its content tells.
    const QString changedFile = fileIn(folder, fileName);
    QByteArray elsewhere = readBytes(changedFile);
    elsewhere.replace(elsewhere.lastIndexOf('0'), 1, "1");
    writeBytes(changedFile, elsewhere);
    const QStringList before = folderSnapshot(folder);

    checklist.prompts.expectQuestion(closing ? Answer::Yes : Answer::Ok);
    checklist.prompts.expectQuestion(answer);
    if (closing)
        QCOMPARE(checklist.form->close(), answer == Answer::Yes);
    else
        ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);
    const QString question = checklist.prompts.lastShown();
    QVERIFY2(question.contains(QDir::toNativeSeparators(changedFile) + u'\n'), qPrintable(question));
    QVERIFY2(question.contains(u"上書き"_s), qPrintable(question));
    QCOMPARE(question.count(QDir::toNativeSeparators(folder)), 1);
    QCOMPARE(checklist.prompts.lastButtons(), Prompts::Buttons::YesNo);

    if (answer == Answer::No) {
        QCOMPARE(folderSnapshot(folder), before);
        QVERIFY(checklist.form->isVisible());
        QVERIFY(checklist.document.isModified());
        return;
    }
    QCOMPARE(readBytes(fileIn(folder, DataFile::fileName)), DataFile::encode(checklist.document.items()));
    QVERIFY(readBytes(changedFile) != elsewhere);
    // What the other program wrote was kept before it was overwritten.
    const QDir backups(BackupFolder::path(folder));
    const QStringList kept = backups.entryList({ fileName + u".2*"_s }, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(readBytes(backups.filePath(kept.first())), elsewhere);
    QVERIFY(!checklist.document.isModified());
    QCOMPARE(checklist.form->isVisible(), !closing);
    // What was just saved is the program's own again: the next save asks nothing.
    if (!closing) {
        checklist.prompts.expectQuestion(Answer::Ok);
        ui(checklist.form).btnsave->trigger();
        VERIFY_PROMPTS_DONE(checklist.prompts);
    }
}

void tst_Recovery::normalEnd_leavesNoRecoveryFile_data()
{
    QTest::addColumn<bool>("closing"); // through the close question, else the save command
    QTest::addColumn<Answer>("answer");
    QTest::newRow("save command") << false << Answer::Ok;
    QTest::newRow("close question, Yes") << true << Answer::Yes;
    QTest::newRow("close question, No") << true << Answer::No;
}

void tst_Recovery::normalEnd_leavesNoRecoveryFile()
{
    QFETCH(bool, closing);
    QFETCH(Answer, answer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    const QStringList loaded = folderSnapshot(folder);
    Checklist checklist(folder);
    QVERIFY(checklist.load());
    checklist.form->show();
    checklist.document.toggleRow(2);
    checklist.document.renameVillage(*StoredText::fromTyped(u"みなと村"_s));
    checklist.document.setBackColor(0x336699);
    // The timer writes the record while the program waits for the user.
    QTRY_VERIFY(QFileInfo::exists(fileIn(folder, RecoveryFile::fileName)));
    checklist.document.toggleRow(3);

    checklist.prompts.expectQuestion(answer);
    if (closing)
        QVERIFY(checklist.form->close());
    else
        ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);
    // Nothing is left to write it again later.
    QTest::qWait(RecoveryRecorder::delayMs * 2);
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files, QStringList({ DataFile::fileName, SettingsFile::fileName, u"kuraword.csv"_s }));
    if (answer == Answer::No)
        QCOMPARE(folderSnapshot(folder), loaded);
}

QTEST_MAIN(tst_Recovery)
#include "tst_recovery.moc"
