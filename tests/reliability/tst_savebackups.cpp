// Every save with changes keeps the pair of files it replaces in backup/, the newest ten of them.
#include "reliabilityfixture.h"
#include "sessionchanges.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

using Answer = Prompts::Answer;

QStringList backupNames(const QString& folder)
{
    return QDir(BackupFolder::path(folder)).entryList(QDir::Files, QDir::Name);
}

void save(Checklist& checklist)
{
    checklist.prompts.expectQuestion(Answer::Ok);
    ui(checklist.form).btnsave->trigger();
}

} // namespace

class tst_SaveBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void twelveSavesInOneSecond_keepTheTenNewestPairsAndNothingElseGoes();
};

void tst_SaveBackups::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void tst_SaveBackups::twelveSavesInOneSecond_keepTheTenNewestPairsAndNothingElseGoes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    QVERIFY(QDir(folder).mkdir(BackupFolder::folderName));
    const QStringList foreign { u"kuradata_v2.csv.before-update-20000101-000000"_s,
        u"kuradata_v2.csv.before-conversion-20000101-000000"_s, u"kurasize.dat.20000101-000000.old"_s,
        u"kurasize.dat.2000010-000000"_s, u"メモ.txt"_s };
    for (const QString& name : foreign)
        writeBytes(QDir(BackupFolder::path(folder)).filePath(name), "the user's own\r\n");
    Checklist checklist(folder);
    QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
    checklist.document.setClock([&] { return now; });
    QVERIFY(checklist.load());
    checklist.form->show();

    QByteArray replacedData;
    QByteArray replacedSettings;
    for (int change = 1; change <= 12; ++change) {
        // A tick, a rename or a colour; never only a switch of villager, which changes nothing a save writes.
        if (change % 10 == 5)
            checklist.document.toggleRow(0);
        else
            makeSessionChange(checklist.document, change);
        replacedData = readBytes(dataFileIn(folder));
        replacedSettings = readBytes(QDir(folder).filePath(SettingsFile::fileName));
        save(checklist);
        VERIFY_PROMPTS_DONE(checklist.prompts);
        QVERIFY(!checklist.document.isModified());
    }

    QStringList expected = foreign;
    for (int n = 3; n <= 12; ++n) {
        expected << u"kuradata_v2.csv.20260304-050607-%1"_s.arg(n) << u"kurasize.dat.20260304-050607-%1"_s.arg(n);
    }
    expected.sort();
    QCOMPARE(backupNames(folder), expected);
    const QDir backups(BackupFolder::path(folder));
    QCOMPARE(readBytes(backups.filePath(u"kuradata_v2.csv.20260304-050607-12"_s)), replacedData);
    QCOMPARE(readBytes(backups.filePath(u"kurasize.dat.20260304-050607-12"_s)), replacedSettings);
    // The last change renamed the village: the copy is of the settings before it.
    QVERIFY(replacedSettings != readBytes(QDir(folder).filePath(SettingsFile::fileName)));

    // Nothing unsaved and the files as last saved: a save keeps no copy of what it would write again.
    save(checklist);
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QCOMPARE(backupNames(folder), expected);

    // Nothing unsaved, but the settings rewritten elsewhere: はい to the overwrite question keeps them first.
    const QString settingsPath = QDir(folder).filePath(SettingsFile::fileName);
    const QByteArray elsewhere = readBytes(settingsPath) + "\r\n";
    writeBytes(settingsPath, elsewhere);
    checklist.prompts.expectQuestion(Answer::Ok);
    checklist.prompts.expectQuestion(Answer::Yes);
    ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QCOMPARE(readBytes(backups.filePath(u"kurasize.dat.20260304-050607-13"_s)), elsewhere);
    QCOMPARE(backupNames(folder).size(), expected.size());

    // The clock set back a year: the pair just written is the oldest by its name, and is kept all the same.
    now = now.addYears(-1);
    checklist.document.toggleRow(0);
    save(checklist);
    VERIFY_PROMPTS_DONE(checklist.prompts);
    const QStringList names = backupNames(folder);
    QCOMPARE(names.size(), expected.size());
    QVERIFY(names.contains(u"kuradata_v2.csv.20250304-050607"_s));
    QVERIFY(names.contains(u"kurasize.dat.20250304-050607"_s));
    QVERIFY(!names.contains(u"kuradata_v2.csv.20260304-050607-4"_s));
}

QTEST_MAIN(tst_SaveBackups)
#include "tst_savebackups.moc"
