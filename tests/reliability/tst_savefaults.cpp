// Real faults against the real save code: a killed process, a folder in the file's place, a removed program folder.
// Each leaves the previous files whole and tells the user which file and why. (The limits only Linux can set, a
// file-size limit and a full disk, are in tst_diskfaults.)
#include "reliabilityfixture.h"

#include "itemdata/datafile.h"
#include "itemdata/safesave.h"
#include "itemdata/settingsfile.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QString helperProgram = QStringLiteral(KURANOTE_SAVEHELPER);

QString settingsFileIn(const QString& folder)
{
    return QDir(folder).filePath(SettingsFile::fileName);
}

// The system's words for a file whose folder is gone, as Qt passes them on: the save gives them as its reason.
QString missingFolderReason(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? QString() : file.errorString();
}

} // namespace

class tst_SaveFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void killedWhileSaving_leavesOldOrNewFilesWhole();
    void nameTakenByFolder_saveCommandTellsAndWritesNothing();
    void programFolderRemoved_saveAndCloseTellAndKeepTheWindow();
};

void tst_SaveFaults::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY2(QFileInfo(helperProgram).isExecutable(), qPrintable(helperProgram));
}

void tst_SaveFaults::killedWhileSaving_leavesOldOrNewFilesWhole()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    const QByteArray oldData = largeCatalogue(16 << 20);
    writeBytes(dataFileIn(folder), oldData);
    Settings settings;
    QVERIFY(!SettingsFile::parse(readBytes(sampleFile(SettingsFile::fileName)), QString(), &settings));
    const QByteArray oldSettings = SettingsFile::encode(settings);
    writeBytes(settingsFileIn(folder), oldSettings);

    // The helper turns villager 1's flags and the last bit of the search window's width over at every save,
    // so whatever it has saved, each file can only hold one of two contents.
    ItemTable table;
    QVERIFY(!DataFile::load(folder, &table));
    QCOMPARE(DataFile::encode(table), oldData);
    for (int record = 1; record <= table.count(); ++record)
        table.setFlag(record, 1, table.flag(record, 1) ? 0 : 1);
    const QByteArray newData = DataFile::encode(table);
    settings.seekwidth ^= 1;
    const QByteArray newSettings = SettingsFile::encode(settings);

    const int kills = qEnvironmentVariableIsSet("KURANOTE_KILLS") ? qEnvironmentVariableIntValue("KURANOTE_KILLS") : 20;
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int killsWhileSaving = 0;
    int leftovers = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        QProcess helper;
        helper.start(helperProgram, { u"repeat"_s, folder });
        QVERIFY2(helper.waitForStarted(), qPrintable(helper.errorString()));
        QByteArray output;
        while (!output.contains("loaded")) {
            QVERIFY2(helper.waitForReadyRead(60000), qPrintable(QString::fromLocal8Bit(helper.readAllStandardError())));
            output += helper.readAllStandardOutput();
        }
        QThread::msleep(random.bounded(600));
        helper.kill();
        QVERIFY(helper.waitForFinished(30000));
        output += helper.readAllStandardOutput();
        // A helper that ended on its own could not save: that is a failure, not a kill.
        QVERIFY2(helper.exitStatus() == QProcess::CrashExit, output.constData());
        if (output.trimmed().split('\n').last().startsWith("saving"))
            ++killsWhileSaving;

        const QByteArray data = readBytes(dataFileIn(folder));
        QVERIFY2(data == oldData || data == newData,
            qPrintable(
                u"after kill %1 (seed %2) the catalogue holds %3 bytes, neither the old nor the new ones"_s.arg(kill)
                    .arg(seed)
                    .arg(data.size())));
        const QByteArray savedSettings = readBytes(settingsFileIn(folder));
        QVERIFY2(savedSettings == oldSettings || savedSettings == newSettings,
            qPrintable(
                u"after kill %1 (seed %2) the settings are neither the old nor the new ones"_s.arg(kill).arg(seed)));
        // A temporary file may stay behind; the program never reads it, it must never have taken a file's place,
        // and the next start knows it for a save's leftover and removes it.
        const QStringList expected { DataFile::fileName, SettingsFile::fileName };
        leftovers += int(QDir(folder).entryList(QDir::Files | QDir::Hidden).size()) - int(expected.size());
        removeSaveLeftovers(folder);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }
    qInfo("%d kills (seed %u), %d of them while a save was under way; temporary files left behind: %d", kills, seed,
        killsWhileSaving, leftovers);
    // Kills that all fell outside a save would have proved nothing.
    QVERIFY(killsWhileSaving > 0);
}

void tst_SaveFaults::nameTakenByFolder_saveCommandTellsAndWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copySampleFiles(dir.path());
    Checklist checklist(dir.path());
    QVERIFY(checklist.load());
    QVERIFY(QFile::remove(dataFileIn(dir.path())));
    QVERIFY(QDir().mkpath(dataFileIn(dir.path())));
    const QStringList before = folderSnapshot(dir.path());

    checklist.prompts.expectQuestion(Prompts::Answer::Ok);
    checklist.prompts.expectError();
    ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);
    const QString shown = checklist.prompts.lastShown();
    QVERIFY2(shown.contains(QDir::toNativeSeparators(dataFileIn(dir.path()))), qPrintable(shown));
    QVERIFY2(shown.contains(u"フォルダ"_s), qPrintable(shown));
    // The settings are not written either once the catalogue failed.
    QCOMPARE(folderSnapshot(dir.path()), before);
}

void tst_SaveFaults::programFolderRemoved_saveAndCloseTellAndKeepTheWindow()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"program"_s);
    QVERIFY(QDir().mkpath(folder));
    copySampleFiles(folder);
    Checklist checklist(folder);
    QVERIFY(checklist.load());
    checklist.form->show();
    QVERIFY(QDir(folder).removeRecursively());

    checklist.prompts.expectQuestion(Prompts::Answer::Ok);
    checklist.prompts.expectError();
    ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QString shown = checklist.prompts.lastShown();
    QVERIFY2(shown.contains(QDir::toNativeSeparators(dataFileIn(folder))), qPrintable(shown));
    const QString reason = missingFolderReason(dataFileIn(folder));
    QVERIFY(!reason.isEmpty());
    QVERIFY2(shown.contains(reason), qPrintable(shown));

    // Yes at the close question fails the same way; the window stays, so the ticks can still be saved elsewhere.
    checklist.prompts.expectQuestion(Prompts::Answer::Yes);
    checklist.prompts.expectError();
    QVERIFY(!checklist.form->close());
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QVERIFY(checklist.form->isVisible());
    shown = checklist.prompts.lastShown();
    QVERIFY2(shown.contains(QDir::toNativeSeparators(dataFileIn(folder))), qPrintable(shown));
    QVERIFY(!QFileInfo::exists(folder));
}

QTEST_MAIN(tst_SaveFaults)
#include "tst_savefaults.moc"
