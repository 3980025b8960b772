#include "itemdata/backupfolder.h"
#include "system/filelink.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

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
    void backupOnAnotherFileSystem_copiesWhatCannotBeLinked();

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
    QVERIFY(!keepBackupCopies(m_dir->path(), pair, BackupFolder::saveInfix, noon, &copies));
    QCOMPARE(copies,
        QStringList({ backup(u"kuradata_v2.csv.20260102-120000"_s), backup(u"kurasize.dat.20260102-120000"_s) }));
    QCOMPARE(readBytes(copies[0]), "catalogue 1\r\n");
    QCOMPARE(readBytes(copies[1]), "settings 1\r\n");

    // Within the same second; then with only the second name of the next number taken.
    writeBytes(path(pair[0]), "catalogue 2\r\n");
    QVERIFY(!keepBackupCopies(m_dir->path(), pair, BackupFolder::saveInfix, noon, &copies));
    QCOMPARE(copies[0], backup(u"kuradata_v2.csv.20260102-120000-2"_s));
    QCOMPARE(readBytes(copies[0]), "catalogue 2\r\n");
    writeBytes(backup(u"kurasize.dat.20260102-120000-3"_s), "a stray copy\r\n");
    QVERIFY(!keepBackupCopies(m_dir->path(), pair, BackupFolder::saveInfix, noon, &copies));
    QCOMPARE(copies,
        QStringList({ backup(u"kuradata_v2.csv.20260102-120000-4"_s), backup(u"kurasize.dat.20260102-120000-4"_s) }));
    QCOMPARE(readBytes(backup(u"kurasize.dat.20260102-120000-3"_s)), "a stray copy\r\n");
    QCOMPARE(readBytes(backup(u"kuradata_v2.csv.20260102-120000"_s)), "catalogue 1\r\n");

    // A file that is not there has nothing to keep; the other one is still kept.
    QVERIFY(QFile::remove(path(pair[1])));
    QVERIFY(!keepBackupCopies(m_dir->path(), pair, BackupFolder::saveInfix, noon.addSecs(1), &copies));
    QCOMPARE(copies, QStringList({ backup(u"kuradata_v2.csv.20260102-120001"_s), QString() }));
    QCOMPARE(backupNames(m_dir->path()).size(), 8);
}

void TestBackupFolder::singleCopy_takesItsInfixAndNeverReplacesAnother()
{
    const QString infix = u".before-update-"_s;
    QString copy;
    QVERIFY(!keepBackupCopy(m_dir->path(), pair[0], infix, noon, &copy));
    QCOMPARE(copy, backup(u"kuradata_v2.csv.before-update-20260102-120000"_s));
    writeBytes(path(pair[0]), "catalogue 2\r\n");
    QVERIFY(!keepBackupCopy(m_dir->path(), pair[0], infix, noon, &copy));
    QCOMPARE(copy, backup(u"kuradata_v2.csv.before-update-20260102-120000-2"_s));
    QCOMPARE(readBytes(backup(u"kuradata_v2.csv.before-update-20260102-120000"_s)), "catalogue 1\r\n");
    QCOMPARE(readBytes(copy), "catalogue 2\r\n");
    QCOMPARE(backupNames(m_dir->path()).size(), 2);
}

void TestBackupFolder::fileNamedBackup_isNamedInTheErrorAndLeftAlone()
{
    writeBytes(path(BackupFolder::folderName), "in the way\r\n");

    const std::optional<FileError> failure = keepBackupCopies(m_dir->path(), pair, BackupFolder::saveInfix, noon);
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(path(BackupFolder::folderName)));
    QVERIFY(!failure->reason.isEmpty());
    QCOMPARE(readBytes(path(BackupFolder::folderName)), "in the way\r\n");
}

void TestBackupFolder::backupOnAnotherFileSystem_copiesWhatCannotBeLinked()
{
#ifdef Q_OS_WIN
    QSKIP("a second file system, and a symbolic link to it, are made the Linux way here");
#else
    // No link crosses file systems (EXDEV): a backup folder that leads to another one gets copies.
    QTemporaryDir other(u"/dev/shm/kuranote-XXXXXX"_s);
    struct stat here
    {
    };
    struct stat there
    {
    };
    if (!other.isValid() || ::stat(QFile::encodeName(m_dir->path()).constData(), &here) != 0
        || ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 || here.st_dev == there.st_dev)
        QSKIP("no second file system at /dev/shm");
    QVERIFY(QFile::link(other.path(), BackupFolder::path(m_dir->path())));

    QStringList kept;
    QCOMPARE(keepBackupPair(m_dir->path(), pair, { path(pair[0]), path(pair[1]) }, noon, &kept), std::nullopt);
    QCOMPARE(
        kept, QStringList({ backup(u"kuradata_v2.csv.20260102-120000"_s), backup(u"kurasize.dat.20260102-120000"_s) }));
    QCOMPARE(readBytes(kept[0]), "catalogue 1\r\n");
    QCOMPARE(readBytes(kept[1]), "settings 1\r\n");
    QCOMPARE(nameCount(path(pair[0])), 1);
    QVERIFY(QFileInfo::exists(QDir(other.path()).filePath(u"kuradata_v2.csv.20260102-120000"_s)));
#endif
}

QTEST_APPLESS_MAIN(TestBackupFolder)
#include "tst_backupfolder.moc"
