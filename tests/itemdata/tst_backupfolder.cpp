#include "itemdata/backupfolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QStringList pair { u"kuradata_v2.csv"_s, u"kurasize.dat"_s };
const QDateTime noon(QDate(2026, 1, 2), QTime(12, 0, 0));

QStringList backupNames(const QString& dataFolder)
{
    return QDir(BackupFolder::path(dataFolder)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestBackupFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void copiesShareOneStamp_numberedWhenAnyNameIsTaken();
    void singleCopy_takesItsInfixAndNeverReplacesAnother();
    void fileNamedBackup_isNamedInTheErrorAndLeftAlone();
    void oldSaveBackups_onlyTheirOwnOldestAreRemoved();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString backup(const QString& name) const { return QDir(BackupFolder::path(m_dir->path())).filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBackupFolder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    writeBytes(path(pair[0]), "catalogue 1\r\n");
    writeBytes(path(pair[1]), "settings 1\r\n");
}

void TestBackupFolder::copiesShareOneStamp_numberedWhenAnyNameIsTaken()
{
    QStringList copies;
    QVERIFY(!keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon, &copies));
    QCOMPARE(copies,
        QStringList({ backup(u"kuradata_v2.csv.20260102-120000"_s), backup(u"kurasize.dat.20260102-120000"_s) }));
    QCOMPARE(readBytes(copies[0]), "catalogue 1\r\n");
    QCOMPARE(readBytes(copies[1]), "settings 1\r\n");

    // Within the same second; then with only the second name of the next number taken.
    writeBytes(path(pair[0]), "catalogue 2\r\n");
    QVERIFY(!keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon, &copies));
    QCOMPARE(copies[0], backup(u"kuradata_v2.csv.20260102-120000-2"_s));
    QCOMPARE(readBytes(copies[0]), "catalogue 2\r\n");
    writeBytes(backup(u"kurasize.dat.20260102-120000-3"_s), "a stray copy\r\n");
    QVERIFY(!keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon, &copies));
    QCOMPARE(copies,
        QStringList({ backup(u"kuradata_v2.csv.20260102-120000-4"_s), backup(u"kurasize.dat.20260102-120000-4"_s) }));
    QCOMPARE(readBytes(backup(u"kurasize.dat.20260102-120000-3"_s)), "a stray copy\r\n");
    QCOMPARE(readBytes(backup(u"kuradata_v2.csv.20260102-120000"_s)), "catalogue 1\r\n");

    // A file that is not there has nothing to keep; the other one is still kept.
    QVERIFY(QFile::remove(path(pair[1])));
    QVERIFY(!keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon.addSecs(1), &copies));
    QCOMPARE(copies, QStringList({ backup(u"kuradata_v2.csv.20260102-120001"_s), QString() }));
    QCOMPARE(backupNames(m_dir->path()).size(), 8);
}

void TestBackupFolder::singleCopy_takesItsInfixAndNeverReplacesAnother()
{
    const QString infix = u".before-update-"_s;
    QString copy;
    QVERIFY(!keepCopyInBackup(m_dir->path(), pair[0], infix, noon, &copy));
    QCOMPARE(copy, backup(u"kuradata_v2.csv.before-update-20260102-120000"_s));
    writeBytes(path(pair[0]), "catalogue 2\r\n");
    QVERIFY(!keepCopyInBackup(m_dir->path(), pair[0], infix, noon, &copy));
    QCOMPARE(copy, backup(u"kuradata_v2.csv.before-update-20260102-120000-2"_s));
    QCOMPARE(readBytes(backup(u"kuradata_v2.csv.before-update-20260102-120000"_s)), "catalogue 1\r\n");
    QCOMPARE(readBytes(copy), "catalogue 2\r\n");
    QCOMPARE(backupNames(m_dir->path()).size(), 2);
}

void TestBackupFolder::fileNamedBackup_isNamedInTheErrorAndLeftAlone()
{
    writeBytes(path(BackupFolder::folderName), "in the way\r\n");

    const std::optional<FileError> failure = keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon);
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(path(BackupFolder::folderName)));
    QVERIFY(!failure->reason.isEmpty());
    QCOMPARE(readBytes(path(BackupFolder::folderName)), "in the way\r\n");
}

void TestBackupFolder::oldSaveBackups_onlyTheirOwnOldestAreRemoved()
{
    QVERIFY(QDir(m_dir->path()).mkdir(BackupFolder::folderName));
    const QStringList others { u"kuradata_v2.csv.before-update-20200101-000000"_s,
        u"kuradata_v2.csv.before-conversion-20200101-000000"_s, u"kuradata_v2.csv.20200101-000000.txt"_s,
        u"kuradata_v2.csv.2020010-000000"_s, u"notes.txt"_s, u"kuradata_v2.csv"_s };
    for (const QString& other : others)
        writeBytes(backup(other), "keep me\r\n");
    // Twelve saves, the last four within one second; then the clock is set back a year.
    for (int save = 0; save < 12; ++save)
        QVERIFY(!keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon.addSecs(std::min(save, 8))));
    QStringList justWritten;
    QVERIFY(!keepCopiesInBackup(m_dir->path(), pair, BackupFolder::saveInfix, noon.addYears(-1), &justWritten));

    removeOldSaveBackups(m_dir->path(), pair, justWritten);

    QStringList expected = others;
    for (const QString& suffix : { u"20250102-120000"_s, u"20260102-120003"_s, u"20260102-120004"_s,
             u"20260102-120005"_s, u"20260102-120006"_s, u"20260102-120007"_s, u"20260102-120008"_s,
             u"20260102-120008-2"_s, u"20260102-120008-3"_s, u"20260102-120008-4"_s }) {
        expected << pair[0] + u'.' + suffix << pair[1] + u'.' + suffix;
    }
    expected.sort();
    QCOMPARE(backupNames(m_dir->path()), expected);
}

QTEST_APPLESS_MAIN(TestBackupFolder)
#include "tst_backupfolder.moc"
