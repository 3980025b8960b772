// Faults no code of ours stages, injected into a real process by Debian's tools: a flush that fails (libfiu's POSIX
// preload, driven by fiu-ctrl while the program runs) and a clock moved while the program runs (libfaketime).
// Linux only: both work by preloading a library into the program.
#include "reliabilityfixture.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QString helperProgram = QStringLiteral(KURANOTE_SAVEHELPER);
const QString fakeTimeLibrary = u"/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"_s;

// The helper saving once for each request, as `kuranote_savehelper saves` does, started through a wrapper.
class SavingHelper final
{
public:
    SavingHelper(const QStringList& wrapper, const QProcessEnvironment& environment, const QString& folder)
    {
        QProcessEnvironment sanitizerFriendly = environment;
        // A preloaded library comes before the sanitizer's runtime, which refuses to start so unless told.
        sanitizerFriendly.insert(u"ASAN_OPTIONS"_s, u"verify_asan_link_order=0"_s);
        m_process.setProcessEnvironment(sanitizerFriendly);
        const QStringList command = wrapper + QStringList { helperProgram, u"saves"_s, folder };
        m_process.start(command.first(), command.mid(1));
    }
    ~SavingHelper()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    // Waits for the loaded checklist; false when the program did not get that far.
    bool loaded() { return readUntil("loaded 0").contains("loaded 0"); }
    qint64 pid() const { return m_process.processId(); }
    // Saves once; gives what the program printed meanwhile.
    QByteArray save()
    {
        m_process.write("\n");
        return readUntil("saved " + QByteArray::number(++m_saves));
    }

private:
    QByteArray readUntil(const QByteArray& line)
    {
        QByteArray output;
        while (!output.contains(line) && m_process.waitForReadyRead(30000))
            output += m_process.readAllStandardOutput();
        return output + m_process.readAllStandardError();
    }

    QProcess m_process;
    int m_saves = 0;
};

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class tst_InjectedFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failedFlush_replacesNothing_failedFolderSyncIsTold();
    void clockMoved_keepsThePairsOfTheLastTenSaves_data();
    void clockMoved_keepsThePairsOfTheLastTenSaves();
};

void tst_InjectedFaults::failedFlush_replacesNothing_failedFolderSyncIsTold()
{
#ifdef __SANITIZE_ADDRESS__
    QSKIP("libfiu's preload wraps the allocator, as AddressSanitizer's runtime does: a helper built with it crashes");
#endif
    if (QStandardPaths::findExecutable(u"fiu-run"_s).isEmpty())
        QSKIP("Debian's fiu-utils is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"data"_s);
    QVERIFY(QDir().mkpath(folder));
    copySampleFiles(folder);
    // The control pipes go beside the data folder, not into it.
    const QString control = dir.filePath(u"fiu"_s);
    SavingHelper helper({ u"fiu-run"_s, u"-x"_s, u"-f"_s, control }, QProcessEnvironment::systemEnvironment(), folder);
    QVERIFY(helper.loaded());
    const auto fiu = [&](const QString& command) {
        return QProcess::execute(u"fiu-ctrl"_s, { u"-f"_s, control, u"-c"_s, command, QString::number(helper.pid()) });
    };
    const QString ioError = systemReason(EIO);
    // failinfo is the errno the call fails with: an input/output error, as a failing disk gives.
    const QString failing = u"enable name=posix/io/sync/%1,failinfo=%2"_s.arg(u"%1"_s, QString::number(EIO));

    // Every flush fails, whichever call the save flushes with: nothing is replaced, and the catalogue is named.
    const QStringList before = folderSnapshot(folder);
    QCOMPARE(fiu(failing.arg(u"fdatasync"_s)), 0);
    QCOMPARE(fiu(failing.arg(u"fsync"_s)), 0);
    QByteArray output = helper.save();
    QVERIFY2(output.contains("error: " + QDir::toNativeSeparators(dataFileIn(folder)).toLocal8Bit()), output);
    QVERIFY2(output.contains(ioError.toLocal8Bit()), output);
    QCOMPARE(folderSnapshot(folder), before);

    // The files flushed, the folder not: the save is made, and the folder named.
    QCOMPARE(fiu(u"disable name=posix/io/sync/fdatasync"_s), 0);
    output = helper.save();
    QVERIFY2(output.contains("error: " + QDir::toNativeSeparators(folder).toLocal8Bit() + ' '), output);
    QVERIFY2(output.contains(ioError.toLocal8Bit()), output);
    QVERIFY(readBytes(dataFileIn(folder)) != readBytes(sampleFile(DataFile::fileName)));
    QCOMPARE(QDir(BackupFolder::path(folder)).entryList(QDir::Files).size(), 2);

    QCOMPARE(fiu(u"disable name=posix/io/sync/fsync"_s), 0);
    output = helper.save();
    QVERIFY2(!output.contains("error:"), output);
    QCOMPARE(QDir(BackupFolder::path(folder)).entryList(QDir::Files).size(), 4);
}

void tst_InjectedFaults::clockMoved_keepsThePairsOfTheLastTenSaves_data()
{
    QTest::addColumn<QStringList>("clocks"); // the clock of each series of twelve saves
    QTest::newRow("a year back") << QStringList { u"@2026-03-01 12:00:00"_s, u"@2025-03-01 12:00:00"_s };
    QTest::newRow("a year ahead, then right again")
        << QStringList { u"@2026-03-01 12:00:00"_s, u"@2027-03-01 12:00:00"_s, u"@2026-03-01 13:00:00"_s };
}

void tst_InjectedFaults::clockMoved_keepsThePairsOfTheLastTenSaves()
{
    QFETCH(QStringList, clocks);
    if (!QFileInfo::exists(fakeTimeLibrary))
        QSKIP("Debian's faketime is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"data"_s);
    QVERIFY(QDir().mkpath(folder));
    copySampleFiles(folder);
    const QString clock = dir.filePath(u"clock"_s);
    writeBytes(clock, clocks.first().toLatin1() + '\n');
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LD_PRELOAD"_s, fakeTimeLibrary);
    environment.insert(u"FAKETIME_TIMESTAMP_FILE"_s, clock);
    // Read at every look at the clock, so that a new line moves it while the program runs; Qt's timers keep to the
    // true monotonic clock.
    environment.insert(u"FAKETIME_NO_CACHE"_s, u"1"_s);
    environment.insert(u"FAKETIME_DONT_FAKE_MONOTONIC"_s, u"1"_s);
    SavingHelper helper({}, environment, folder);
    QVERIFY(helper.loaded());

    const QDir backups(BackupFolder::path(folder));
    QStringList seen;
    QList<QStringList> pairs;
    for (const QString& time : clocks) {
        writeBytes(clock, time.toLatin1() + '\n');
        for (int save = 1; save <= 12; ++save) {
            const QByteArray output = helper.save();
            QVERIFY2(!output.contains("error:"), output);
            const QStringList names = backups.entryList(QDir::Files, QDir::Name);
            QStringList added;
            for (const QString& name : names) {
                if (!seen.contains(name))
                    added.append(name);
            }
            seen = names;
            QCOMPARE(added.size(), 2);
            QVERIFY2(added.first().contains(time.mid(1, 4)), qPrintable(added.first()));
            pairs.append(added);
            for (qsizetype i = std::max<qsizetype>(0, pairs.size() - BackupFolder::savesKept); i < pairs.size(); ++i) {
                for (const QString& name : std::as_const(pairs[i]))
                    QVERIFY2(names.contains(name), qPrintable(u"%1 gone after save %2"_s.arg(name).arg(pairs.size())));
            }
        }
    }
}

QTEST_GUILESS_MAIN(tst_InjectedFaults)
#include "tst_injectedfaults.moc"
