#include "itemdata/safesave.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

// What the save itself promises beyond "whole or nothing", which the fault tests show.
class tst_SafeSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacesTheFile_keepingItsPermissionsAndNoTemporary();
    void readOnlyFile_isRefusedAndKept();
    void symbolicLink_staysALinkToTheNewBytes();
};

void tst_SafeSave::replacesTheFile_keepingItsPermissionsAndNoTemporary()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"kurasize.dat"_s);
    writeBytes(path, "old");
    // Not what a new file gets: owner read and write, group read, others nothing.
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QFileDevice::Permissions permissions = QFileInfo(path).permissions();

    QCOMPARE(writeFileSafely(path, "new"), std::nullopt);
    QCOMPARE(readBytes(path), "new");
    QCOMPARE(QFileInfo(path).permissions(), permissions);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"kurasize.dat"_s });
}

void tst_SafeSave::readOnlyFile_isRefusedAndKept()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"kurasize.dat"_s);
    writeBytes(path, "old");
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    if (QFileInfo(path).isWritable())
        QSKIP("this user may write any file");

    const std::optional<FileError> failure = writeFileSafely(path, "new");
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(path));
    QCOMPARE(readBytes(path), "old");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"kurasize.dat"_s });
}

void tst_SafeSave::symbolicLink_staysALinkToTheNewBytes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(u"elsewhere"_s));
    const QString target = dir.filePath(u"elsewhere/kuradata_v2.csv"_s);
    const QString link = dir.filePath(u"kuradata_v2.csv"_s);
    writeBytes(target, "old");
    if (!QFile::link(target, link))
        QSKIP("no symbolic links here");

    QCOMPARE(writeFileSafely(link, "new"), std::nullopt);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(target), "new");
}

QTEST_GUILESS_MAIN(tst_SafeSave)
#include "tst_safesave.moc"
