#include "start/programstart.h"

#include "itemdata/datafolderlock.h"
#include "scriptedprompts.h"
#include "testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Temporaries of killed saves and copies, beside the files and in the backup folder; beside them, names that only
// look like them, a folder of that name, and one in a folder inside the backup folder: all someone else's.
const QStringList leftovers { u"kuradata_v2.csv.kuranote-save-a1B2c3"_s, u"kurasize.dat.kuranote-save-ZZ9900"_s };
const QStringList backupLeftovers { u"backup/kuradata_v2.csv.20260102-030405.kuranote-save-Qw3rty"_s };
const QStringList othersFiles { u"kuradata_v2.csv"_s, u"kuradata_v2.csv.aB3xYz"_s,
    u"kuradata_v2.csv.kuranote-save-abc"_s, u"notes.kuranote-save-abcdef.txt"_s,
    u"backup/kurasize.dat.20260102-030405"_s, u"backup/kuradata_v2.csv.kuranote-save-abc"_s,
    u"backup/old/"_s + leftovers.first() };

// Every file and folder under folder, by its path inside it.
QStringList contentOf(const QString& folder)
{
    QStringList content;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (entries.hasNext())
        content << QDir(folder).relativeFilePath(entries.next());
    content.sort();
    return content;
}

QStringList plant(const QString& folder)
{
    const QDir dir(folder);
    dir.mkpath(u"backup/old"_s);
    dir.mkpath(u"folder.kuranote-save-abcdef"_s);
    for (const QString& name : leftovers + backupLeftovers + othersFiles)
        writeBytes(dir.filePath(name), "x");
    return contentOf(folder);
}

#ifndef Q_OS_WIN
// A folder no program can add a file to: a read-only mount for root, whom no permission stops; read and search
// permission only for anyone else. Undone when this goes.
class ReadOnlyFolder final
{
public:
    explicit ReadOnlyFolder(const QString& folder)
        : m_folder(QFile::encodeName(folder))
    {
        if (::geteuid() == 0)
            m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=1m") == 0;
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
        else
            ::chmod(m_folder.constData(), 0700);
    }
    // Empty, or why the folder could not be made read-only.
    QString makeReadOnly()
    {
        if (::geteuid() != 0)
            return ::chmod(m_folder.constData(), 0555) == 0 ? QString() : qt_error_string(errno);
        if (!m_mounted)
            return u"cannot mount a tmpfs here"_s;
        if (::mount("tmpfs", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") != 0)
            return qt_error_string(errno);
        return QString();
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
#endif

} // namespace

class tst_ProgramStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void takenFolder_losesOnlyTheLeftoversOfSaves();
    void folderWhereNoLockCanBeMade_opensAndRemovesNothing();
    void folderHeldByAnother_keepsEverything();
};

void tst_ProgramStart::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program's name
    QTest::addColumn<QString>("positionalName"); // empty: the program takes no positional argument
    QTest::addColumn<std::optional<int>>("exitCode");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QStringList>("qtOptions");

    const std::optional<int> runs;
    QTest::newRow("Qt's option beside the argument")
        << QStringList { u"-style"_s, u"Fusion"_s, u"NEW.csv"_s } << u"NEW.csv"_s << runs << u"NEW.csv"_s
        << QStringList { u"-style"_s, u"Fusion"_s };
    QTest::newRow("two arguments") << QStringList { u"a.csv"_s, u"b.csv"_s } << u"NEW.csv"_s << std::optional(2)
                                   << QString() << QStringList();
    QTest::newRow("none taken") << QStringList { u"-session"_s, u"X"_s, u"extra"_s } << QString() << std::optional(2)
                                << QString() << QStringList();
    // Qt reads '=' for a few options only: the value becomes an argument of its own.
    QTest::newRow("value after '='") << QStringList { u"--platform=windows:darkmode=2"_s } << QString() << runs
                                     << QString() << QStringList { u"--platform"_s, u"windows:darkmode=2"_s };
    QTest::newRow("value missing") << QStringList { u"-reverse"_s, u"-style"_s } << QString() << std::optional(2)
                                   << QString() << QStringList();
    QTest::newRow("after --, an argument")
        << QStringList { u"--"_s, u"-style"_s } << u"NEW.csv"_s << runs << u"-style"_s << QStringList();
}

void tst_ProgramStart::commandLine()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows the command line is read from the process, not from argv");
#endif
    QFETCH(QStringList, arguments);
    QFETCH(QString, positionalName);
    QFETCH(std::optional<int>, exitCode);
    QFETCH(QString, argument);
    QFETCH(QStringList, qtOptions);

    ApplicationArguments argv(QStringList { u"prog"_s } + arguments);
    const CommandLine commandLine
        = readCommandLine(argv.count(), argv.values(), u"prog"_s, u"test"_s, { positionalName, u"a catalogue"_s });
    QCOMPARE(commandLine.exitCode, exitCode);
    QCOMPARE(commandLine.argument, argument);
    if (!exitCode)
        QCOMPARE(commandLine.qtArguments, QStringList { u"prog"_s } + qtOptions);
}

void tst_ProgramStart::takenFolder_losesOnlyTheLeftoversOfSaves()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList expected = plant(dir.path()) + QStringList { QString::fromLatin1(DataFolderLock::fileName) };
    for (const QString& name : leftovers + backupLeftovers)
        expected.removeOne(name);
    expected.sort();

    ScriptedPrompts prompts;
    const StartFolder start = openDataFolder(dir.path(), prompts);
    VERIFY_PROMPTS_DONE(prompts);
    QVERIFY(!start.exitCode);
    QCOMPARE(contentOf(dir.path()), expected);
}

void tst_ProgramStart::folderWhereNoLockCanBeMade_opensAndRemovesNothing()
{
#ifdef Q_OS_WIN
    QSKIP("a folder that refuses new files needs a read-only mount or permission bits");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The backup folder leads to one that can be written, so that only the lock can keep its leftover in place.
    const QString folder = dir.filePath(u"data"_s);
    const QString writable = dir.filePath(u"writable"_s);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QDir().mkpath(writable));
    ReadOnlyFolder readOnly(folder);
    QVERIFY(QFile::link(writable, QDir(folder).filePath(u"backup"_s)));
    writeBytes(QDir(folder).filePath(u"kuradata_v2.csv"_s), "x");
    writeBytes(QDir(folder).filePath(leftovers.first()), "x");
    writeBytes(QDir(writable).filePath(QFileInfo(backupLeftovers.first()).fileName()), "x");
    if (const QString why = readOnly.makeReadOnly(); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QStringList before = contentOf(dir.path());

    QCOMPARE(DataFolderLock(folder).tryLock(), DataFolderLock::Outcome::CannotLock);
    ScriptedPrompts prompts;
    const StartFolder start = openDataFolder(folder, prompts);
    VERIFY_PROMPTS_DONE(prompts);
    QVERIFY(!start.exitCode);
    QCOMPARE(start.folder, folder);
    QCOMPARE(contentOf(dir.path()), before);
#endif
}

void tst_ProgramStart::folderHeldByAnother_keepsEverything()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    plant(dir.path());
    DataFolderLock other(dir.path());
    QCOMPARE(other.tryLock(), DataFolderLock::Outcome::Taken);
    const QStringList before = contentOf(dir.path());

    ScriptedPrompts prompts;
    prompts.expectError();
    QCOMPARE(openDataFolder(dir.path(), prompts).exitCode, std::optional(1));
    VERIFY_PROMPTS_DONE(prompts);
    QCOMPARE(contentOf(dir.path()), before);
}

QTEST_MAIN(tst_ProgramStart)
#include "tst_programstart.moc"
