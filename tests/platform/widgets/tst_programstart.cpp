#include "platform/widgets/programstart.h"

#include "itemdata/datafolderlock.h"
#include "scriptedprompts.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// Temporaries of killed saves; beside them, names that only look like them, a folder of that name, and one in a
// folder inside the data folder, such as the backups': all someone else's.
const QStringList leftovers { u"kuradata_v2.csv.kuranote-save-a1B2c3"_s, u"kurasize.dat.kuranote-save-ZZ9900"_s };
const QStringList othersFiles { u"kuradata_v2.csv"_s, u"kuradata_v2.csv.aB3xYz"_s,
    u"kuradata_v2.csv.kuranote-save-abc"_s, u"notes.kuranote-save-abcdef.txt"_s, u"backup/"_s + leftovers.first() };

QStringList contentOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList plant(const QString& folder)
{
    const QDir dir(folder);
    dir.mkpath(u"backup"_s);
    dir.mkpath(u"folder.kuranote-save-abcdef"_s);
    for (const QString& name : leftovers + othersFiles)
        writeBytes(dir.filePath(name), "x");
    return contentOf(folder);
}

} // namespace

class tst_ProgramStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data();
    void commandLine();
    void takenFolder_losesOnlyTheLeftoversOfSaves();
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
    for (const QString& name : leftovers)
        expected.removeOne(name);
    expected.sort();

    ScriptedPrompts prompts;
    const StartFolder start = openDataFolder(dir.path(), prompts);
    VERIFY_PROMPTS_DONE(prompts);
    QVERIFY(!start.exitCode);
    QCOMPARE(contentOf(dir.path()), expected);
    QCOMPARE(contentOf(dir.filePath(u"backup"_s)), QStringList { leftovers.first() });
}

void tst_ProgramStart::folderHeldByAnother_keepsEverything()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    plant(dir.path());
    DataFolderLock other(dir.path());
    QVERIFY(other.tryLock());
    const QStringList before = contentOf(dir.path());

    ScriptedPrompts prompts;
    prompts.expectError();
    QCOMPARE(openDataFolder(dir.path(), prompts).exitCode, std::optional(1));
    VERIFY_PROMPTS_DONE(prompts);
    QCOMPARE(contentOf(dir.path()), before);
}

QTEST_MAIN(tst_ProgramStart)
#include "tst_programstart.moc"
