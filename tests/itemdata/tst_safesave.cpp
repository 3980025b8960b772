#include "itemdata/safesave.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

// What a save keeps of the file it replaces, beyond the whole-or-nothing the fault tests show.
class tst_SafeSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keepsPermissionsAndSymbolicLink();
};

void tst_SafeSave::keepsPermissionsAndSymbolicLink()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has neither these permission bits nor links that a program makes as a person would: "
          "QFile::link makes a shortcut file, which a save replaces like any other");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(u"target.csv"_s);
    const QString link = dir.filePath(u"kuradata_v2.csv"_s);
    writeBytes(target, "old");
    // Not what a new file gets.
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    const QFileDevice::Permissions permissions = QFileInfo(target).permissions();
    if (!QFile::link(target, link))
        QSKIP("no symbolic links here");

    QCOMPARE(writeFileSafely(link, "new"), std::nullopt);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readBytes(target), "new");
    QCOMPARE(QFileInfo(target).permissions(), permissions);
    QCOMPARE(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({ u"kuradata_v2.csv"_s, u"target.csv"_s }));
}

QTEST_GUILESS_MAIN(tst_SafeSave)
#include "tst_safesave.moc"
