#include "itemdata/datafolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QStringList dataFiles { u"kuradata_v2.csv"_s, u"kurasize.dat"_s, u"kuraword.csv"_s };

QByteArray sampleBytes(const QString& name)
{
    return "sample " + name.toLatin1() + "\r\n";
}

QByteArray usersBytes(const QString& name)
{
    return "the user's own " + name.toLatin1() + "\r\n";
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void decidesTheFolder_data();
    void decidesTheFolder();
    void userFolderThatCannotBeMade_isNamedInTheError();
    void sampleFolder_isFoundBesideTheProgram();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_workingFolder;
};

void TestDataFolder::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_workingFolder = QDir::currentPath();
    // A relative --folder is taken from where the program was started.
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestDataFolder::cleanup()
{
    QDir::setCurrent(m_workingFolder);
}

void TestDataFolder::decidesTheFolder_data()
{
    QTest::addColumn<QString>("option"); // a folder named on the command line, relative to the test's folder
    QTest::addColumn<bool>("programHoldsCatalogue");
    QTest::addColumn<QStringList>("userAlreadyHas");
    QTest::addColumn<bool>("samplesInstalled");
    QTest::addColumn<QString>("expectedFolder"); // "chosen", "program" or "user"
    QTest::addColumn<QStringList>("expectedSamples"); // the user folder's files that come from the samples

    const QStringList none;
    QTest::newRow("--folder wins over a portable folder") << u"chosen"_s << true << none << true << u"chosen"_s << none;
    QTest::newRow("--folder wins over the user folder")
        << u"./chosen/"_s << false << none << true << u"chosen"_s << none;
    QTest::newRow("portable: the catalogue beside the program")
        << QString() << true << none << true << u"program"_s << none;
    QTest::newRow("first start: the user folder is made and seeded")
        << QString() << false << none << true << u"user"_s << dataFiles;
    QTest::newRow("later start: the user's files are never overwritten")
        << QString() << false << dataFiles << true << u"user"_s << none;
    QTest::newRow("only a missing file is seeded")
        << QString() << false << QStringList { u"kuradata_v2.csv"_s, u"kurasize.dat"_s } << true << u"user"_s
        << QStringList { u"kuraword.csv"_s };
    QTest::newRow("no samples installed: the user folder is made empty")
        << QString() << false << none << false << u"user"_s << none;
}

void TestDataFolder::decidesTheFolder()
{
    QFETCH(QString, option);
    QFETCH(bool, programHoldsCatalogue);
    QFETCH(QStringList, userAlreadyHas);
    QFETCH(bool, samplesInstalled);
    QFETCH(QString, expectedFolder);
    QFETCH(QStringList, expectedSamples);

    for (const QString& folder : { u"chosen"_s, u"program"_s, u"samples"_s })
        QVERIFY(QDir(m_dir->path()).mkdir(folder));
    if (programHoldsCatalogue)
        writeBytes(path(u"program/kuradata_v2.csv"_s), sampleBytes(u"kuradata_v2.csv"_s));
    for (const QString& name : dataFiles)
        writeBytes(path(u"samples/"_s + name), sampleBytes(name));
    // The user folder lies two levels down, as ~/.local/share/kuranote does.
    const QString userFolder = path(u"home/share/kuranote"_s);
    if (!userAlreadyHas.isEmpty())
        QVERIFY(QDir().mkpath(userFolder));
    for (const QString& name : userAlreadyHas)
        writeBytes(userFolder + u'/' + name, usersBytes(name));

    // The working folder is the test's folder, so the option is given as a relative path, as typed.
    const DataFolderPlaces places { option, path(u"program"_s), userFolder,
        samplesInstalled ? path(u"samples"_s) : QString() };
    QString folder;
    const std::optional<FileError> failure = decideDataFolder(places, &folder);
    QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");

    QCOMPARE(folder, expectedFolder == u"user" ? userFolder : path(expectedFolder));
    QVERIFY(QFileInfo(folder).isAbsolute());
    if (expectedFolder != u"user") {
        QVERIFY2(!QFileInfo::exists(userFolder), "the user folder was made although another one was chosen");
        QVERIFY(!QFileInfo::exists(path(u"chosen/kuradata_v2.csv"_s)));
        return;
    }
    QVERIFY(QFileInfo(userFolder).isDir());
    for (const QString& name : dataFiles) {
        const QString file = userFolder + u'/' + name;
        if (userAlreadyHas.contains(name))
            QCOMPARE(readBytes(file), usersBytes(name));
        else if (expectedSamples.contains(name))
            QCOMPARE(readBytes(file), sampleBytes(name));
        else
            QVERIFY2(!QFileInfo::exists(file), qPrintable(name));
    }
    QCOMPARE(QDir(userFolder).entryList(QDir::Files).size(), userAlreadyHas.size() + expectedSamples.size());
}

void TestDataFolder::userFolderThatCannotBeMade_isNamedInTheError()
{
    writeBytes(path(u"home"_s), "a file where the folder should be");
    const QString userFolder = path(u"home/kuranote"_s);
    QString folder;
    const std::optional<FileError> failure
        = decideDataFolder({ QString(), path(u"program"_s), userFolder, QString() }, &folder);
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(userFolder));
    QVERIFY(failure->message().startsWith(QDir::toNativeSeparators(userFolder)));
}

void TestDataFolder::sampleFolder_isFoundBesideTheProgram()
{
    // Samples installed on this machine must not be found instead.
    qputenv("XDG_DATA_HOME", path(u"nothing"_s).toLocal8Bit());
    qputenv("XDG_DATA_DIRS", path(u"nothing"_s).toLocal8Bit());
    QVERIFY(QDir().mkpath(path(u"usr/bin"_s)));
    QVERIFY(QDir().mkpath(path(u"usr/share/kuranote/sample"_s)));
    QCOMPARE(findSampleFolder(path(u"usr/bin"_s)), QString());
    writeBytes(path(u"usr/share/kuranote/sample/kuradata_v2.csv"_s), sampleBytes(u"kuradata_v2.csv"_s));
    QCOMPARE(findSampleFolder(path(u"usr/bin"_s)), path(u"usr/share/kuranote/sample"_s));
    // The portable folder of Windows: the samples in a folder of their own beside the programs.
    QVERIFY(QDir().mkpath(path(u"portable/sample"_s)));
    writeBytes(path(u"portable/sample/kuradata_v2.csv"_s), sampleBytes(u"kuradata_v2.csv"_s));
    QCOMPARE(findSampleFolder(path(u"portable"_s)), path(u"portable/sample"_s));
}

QTEST_APPLESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
