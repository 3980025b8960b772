// A save that meets a limit of the system in the middle of a write: a file-size limit and a full disk. Each leaves
// the previous files whole and tells the user which file and why. Linux only: the limits are set with setrlimit
// and a tmpfs mount, which Windows has no counterpart of.
#include "reliabilityfixture.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QString helperProgram = QStringLiteral(KURANOTE_SAVEHELPER);

// The system's words for an error number, which the save passes on as its reason.
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

qint64 freeBytes(const QString& folder)
{
    struct statvfs disk
    {
    };
    if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0)
        return -1;
    return qint64(disk.f_bavail) * qint64(disk.f_frsize);
}

// A small tmpfs mounted over a folder for as long as this lives.
class SmallDisk final
{
public:
    SmallDisk(const QString& folder, qint64 size)
        : m_folder(QFile::encodeName(folder))
    {
        const QByteArray options = "size=" + QByteArray::number(size);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
        m_error = m_mounted ? 0 : errno;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    int error() const { return m_error; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    int m_error = 0;
};

} // namespace

class tst_DiskFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fileSizeLimitHitMidWrite_keepsPreviousFile();
    void diskFullMidWrite_keepsPreviousFileAndTheWindowOpen();
    void diskFullAtTheSecondCopy_leavesNoHalfPair();
};

void tst_DiskFaults::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void tst_DiskFaults::fileSizeLimitHitMidWrite_keepsPreviousFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copySampleFiles(dir.path());
    writeBytes(dataFileIn(dir.path()), largeCatalogue(2 << 20));
    const QStringList before = folderSnapshot(dir.path());

    QProcess helper;
    helper.setChildProcessModifier([] {
        // Half of the catalogue fits under the limit; the write stops in its middle with EFBIG, not a signal.
        const rlimit limit { 1 << 20, 1 << 20 };
        ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    helper.start(helperProgram, { u"save"_s, dir.path() });
    QVERIFY(helper.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(helper.readAllStandardOutput() + helper.readAllStandardError());
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QVERIFY2(helper.exitCode() == 2, qPrintable(output));
    QVERIFY2(output.contains(u"error: "_s + QDir::toNativeSeparators(dataFileIn(dir.path()))), qPrintable(output));
    QVERIFY2(output.contains(systemReason(EFBIG)), qPrintable(output));
    QCOMPARE(folderSnapshot(dir.path()), before);
}

void tst_DiskFaults::diskFullMidWrite_keepsPreviousFileAndTheWindowOpen()
{
    if (::geteuid() != 0)
        QSKIP("mounting the small disk needs root");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"disk"_s);
    QVERIFY(QDir().mkpath(folder));
    SmallDisk disk(folder, 2 << 20);
    if (!disk.mounted())
        QSKIP(qPrintable(u"cannot mount a tmpfs here: "_s + systemReason(disk.error())));

    copySampleFiles(folder);
    writeBytes(dataFileIn(folder), largeCatalogue(600 << 10));
    Checklist checklist(folder);
    QVERIFY(checklist.load());
    checklist.form->show();
    checklist.document.toggleRow(0);
    // Leave room for a third of the new catalogue, so that the disk fills up in the middle of writing it.
    const QString filler = QDir(folder).filePath(u"filler"_s);
    writeBytes(filler, QByteArray(freeBytes(folder) - (200 << 10), 'x'));
    const QStringList before = folderSnapshot(folder);

    // The new catalogue does not fit: the save stops before it keeps or replaces anything.
    const QString copyOfCatalogue = dir.filePath(u"disk/backup/kuradata_v2.csv.20260102-030405"_s);
    checklist.document.setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); });
    checklist.prompts.expectQuestion(Prompts::Answer::Yes);
    checklist.prompts.expectError();
    QVERIFY(!checklist.form->close());
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QVERIFY(checklist.form->isVisible());
    QVERIFY(checklist.document.isModified());
    const QString shown = checklist.prompts.lastShown();
    QVERIFY2(shown.contains(QDir::toNativeSeparators(dataFileIn(folder))), qPrintable(shown));
    QVERIFY2(shown.contains(systemReason(ENOSPC)), qPrintable(shown));
    QCOMPARE(folderSnapshot(folder), before);

    // With room again, the same answer saves the tick that was kept, and the window closes; the pair kept costs
    // no room, being the old files under second names.
    QVERIFY(QFile::remove(filler));
    checklist.prompts.expectQuestion(Prompts::Answer::Yes);
    QVERIFY(checklist.form->close());
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QCOMPARE(readBytes(dataFileIn(folder)), DataFile::encode(checklist.document.items()));
    QCOMPARE(readBytes(copyOfCatalogue), largeCatalogue(600 << 10));
}

void tst_DiskFaults::diskFullAtTheSecondCopy_leavesNoHalfPair()
{
    if (::geteuid() != 0)
        QSKIP("mounting the small disk needs root");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SmallDisk disk(dir.path(), 2 << 20);
    if (!disk.mounted())
        QSKIP(qPrintable(u"cannot mount a tmpfs here: "_s + systemReason(disk.error())));
    // The first copy fits, the second does not.
    const QStringList pair { DataFile::fileName, SettingsFile::fileName };
    writeBytes(dir.filePath(pair[0]), QByteArray(10 << 10, 'c'));
    writeBytes(dir.filePath(pair[1]), QByteArray(300 << 10, 's'));
    writeBytes(dir.filePath(u"filler"_s), QByteArray(freeBytes(dir.path()) - (100 << 10), 'x'));
    const QStringList before = folderSnapshot(dir.path());

    const std::optional<FileError> failure
        = keepBackupCopies(dir.path(), pair, BackupFolder::saveInfix, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY(failure);
    QVERIFY2(failure->filePath.endsWith(u"kurasize.dat.20260102-030405"_s), qPrintable(failure->message()));
    QVERIFY2(failure->reason.contains(systemReason(ENOSPC)), qPrintable(failure->message()));
    QCOMPARE(folderSnapshot(dir.path()), before);
}

QTEST_MAIN(tst_DiskFaults)
#include "tst_diskfaults.moc"
