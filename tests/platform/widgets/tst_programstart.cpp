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
    void takenFolder_losesOnlyTheLeftoversOfSaves();
    void folderHeldByAnother_keepsEverything();
};

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
