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

// Temporaries of killed saves, and names that only look like them, which are someone else's.
const QStringList leftovers { u"kuradata_v2.csv.kuranote-save-a1B2c3"_s, u"kurasize.dat.kuranote-save-ZZ9900"_s };
const QStringList othersFiles { u"kuradata_v2.csv"_s, u"kuradata_v2.csv.aB3xYz"_s,
    u"kuradata_v2.csv.kuranote-save-abc"_s, u"kuradata_v2.csv.kuranote-save-abcdefg"_s,
    u"notes.kuranote-save-abcdef.txt"_s };

QStringList plant(const QString& folder)
{
    for (const QString& name : leftovers + othersFiles)
        writeBytes(QDir(folder).filePath(name), "x");
    // A folder inside the data folder, such as the backups', is never looked into, nor is a folder removed.
    const QDir dir(folder);
    dir.mkpath(u"backup"_s);
    writeBytes(dir.filePath(u"backup/"_s + leftovers.first()), "x");
    dir.mkpath(u"folder.kuranote-save-abcdef"_s);
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList contentOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
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
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("positionalName"); // empty: the program takes no positional argument
    QTest::addColumn<std::optional<int>>("exitCode");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QStringList>("qtArguments");

    const QString p = u"prog"_s;
    QTest::newRow("Qt's option beside the argument")
        << QStringList { p, u"-style"_s, u"Fusion"_s, u"NEW.csv"_s } << u"NEW.csv"_s << std::optional<int>()
        << u"NEW.csv"_s << QStringList { p, u"-style"_s, u"Fusion"_s };
    QTest::newRow("argument optional") << QStringList { p, u"-session"_s, u"X"_s } << u"NEW.csv"_s
                                       << std::optional<int>() << QString() << QStringList { p, u"-session"_s, u"X"_s };
    QTest::newRow("two arguments") << QStringList { p, u"a.csv"_s, u"b.csv"_s } << u"NEW.csv"_s << std::optional<int>(2)
                                   << QString() << QStringList();
    QTest::newRow("none taken") << QStringList { p, u"-style"_s, u"Fusion"_s, u"extra"_s } << QString()
                                << std::optional<int>(2) << QString() << QStringList();
    QTest::newRow("mistyped option") << QStringList { p, u"-platfrom"_s, u"offscreen"_s } << QString()
                                     << std::optional<int>(2) << QString() << QStringList();
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
    QFETCH(QStringList, qtArguments);

    ApplicationArguments argv(arguments);
    const CommandLine commandLine
        = readCommandLine(argv.count(), argv.values(), u"prog"_s, u"test"_s, { positionalName, u"a catalogue"_s });
    QCOMPARE(commandLine.exitCode, exitCode);
    QCOMPARE(commandLine.argument, argument);
    QCOMPARE(commandLine.qtArguments, qtArguments);
}

void tst_ProgramStart::takenFolder_losesOnlyTheLeftoversOfSaves()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QStringList expected = plant(dir.path());
    for (const QString& name : leftovers)
        expected.removeOne(name);
    expected.append(QString::fromLatin1(DataFolderLock::fileName));
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
    const StartFolder start = openDataFolder(dir.path(), prompts);
    VERIFY_PROMPTS_DONE(prompts);
    QCOMPARE(start.exitCode, std::optional<int>(1));
    QCOMPARE(contentOf(dir.path()), before);
}

QTEST_MAIN(tst_ProgramStart)
#include "tst_programstart.moc"
