#include "itemdata/safesave.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace kuranote;
using namespace Qt::StringLiterals;

// What a save keeps of the file it replaces, beyond the whole-or-nothing the fault tests show.
class tst_SafeSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keepsPermissionsAndSymbolicLink();
    void failedFlush_abandonsTheSaveNamingFileAndReason();
    void flush_failsOnlyWhereTheSystemCouldFlush();
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

void tst_SafeSave::failedFlush_abandonsTheSaveNamingFileAndReason()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(u"kuradata_v2.csv"_s);
    writeBytes(file, "old");
    SaveCalls calls;
    calls.flush = [](int) { return std::optional(u"入出力エラー"_s); };
    calls.replace = [](const QString&, const QString&) {
        return std::optional(u"a save whose flush failed must not be put in place"_s);
    };

    StagedFile staged(calls);
    const std::optional<FileError> failure = staged.write(file, "new");
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(file));
    QVERIFY2(failure->reason.contains(u"入出力エラー"_s), qPrintable(failure->message()));
    QCOMPARE(readBytes(file), "old");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"kuradata_v2.csv"_s });
}

void tst_SafeSave::flush_failsOnlyWhereTheSystemCouldFlush()
{
#ifdef Q_OS_WIN
    QSKIP("a pipe's handle and a closed one are made the POSIX way here");
#else
    // A pipe cannot be flushed (EINVAL): nothing is lost by that. A handle that is no file's (EBADF) is a failure.
    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    QCOMPARE(flushFile(ends[1]), std::nullopt);
    ::close(ends[0]);
    ::close(ends[1]);
    QVERIFY(flushFile(ends[1]));
#endif
}

QTEST_GUILESS_MAIN(tst_SafeSave)
#include "tst_safesave.moc"
