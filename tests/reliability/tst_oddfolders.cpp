// Both programs work from a folder whose path holds Japanese characters and blanks.
#include "reliabilityfixture.h"

#include "converter/conversion.h"
#include "itemdata/clock.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/listview.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

const QString oddName = u"くら ノート/2 号 (控え)"_s;

// Two sample items marked in an old file: the ones named on lines 2 and 5 of the sample catalogue.
QByteArray oldFileMarking(const ItemTable& table, QList<int>* records)
{
    *records = { 2, 5 };
    QByteArray bytes = sjis(u"旧データ\r\n"_s);
    for (int record : *records)
        bytes += table.storedBytes(record, ItemTable::Name) + ",1\r\n";
    return bytes;
}

} // namespace

class tst_OddFolders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void checklist_loadsAndSavesThere();
    void conversion_runsThere();
    void converterProgram_startedThere_convertsItsOwnFolder();

private:
    QString path(const QString& fileName) const { return QDir(m_folder).filePath(fileName); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void tst_OddFolders::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void tst_OddFolders::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->filePath(oddName);
    QVERIFY(QDir().mkpath(m_folder));
    copySampleFiles(m_folder);
}

void tst_OddFolders::checklist_loadsAndSavesThere()
{
    Checklist checklist(m_folder);
    QVERIFY(checklist.load());
    QVERIFY(checklist.document.items().count() > 2);
    ReportListModel& rows = checklist.document.list();
    const int record = rows.record(0);
    const quint8 before = checklist.document.items().flag(record, 1);
    QVERIFY(rows.setData(rows.index(0, 0), before ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole));
    checklist.prompts.expectQuestion(Prompts::Answer::Ok);
    ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);

    ItemTable saved;
    QVERIFY(!DataFile::load(m_folder, &saved));
    QCOMPARE(saved.flag(record, 1), quint8(before ? 0 : 1));
    Settings settings;
    QVERIFY(!SettingsFile::load(m_folder, &settings));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 3);
}

void tst_OddFolders::conversion_runsThere()
{
    ItemTable table;
    QVERIFY(!DataFile::load(m_folder, &table));
    QList<int> marked;
    writeBytes(path(OldFile::fileName), oldFileMarking(table, &marked));
    const std::optional<FileError> failure = convertData(m_folder, systemTime());
    QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");
    ItemTable converted;
    QVERIFY(!DataFile::load(m_folder, &converted));
    for (int record : marked)
        QCOMPARE(converted.flag(record, 1), quint8(1));
}

void tst_OddFolders::converterProgram_startedThere_convertsItsOwnFolder()
{
    // The program finds its files beside itself, so it is started from a copy in the odd folder.
    const QString program = path(u"kuranote_conv"_s);
    QVERIFY(QFile::copy(QStringLiteral(KURANOTE_CONV), program));
    ItemTable table;
    QVERIFY(!DataFile::load(m_folder, &table));
    QList<int> marked;
    writeBytes(path(OldFile::fileName), oldFileMarking(table, &marked));
    for (int record : marked)
        table.setFlag(record, 1, 1);
    const QByteArray expected = DataFile::encode(table);

    QProcess converter;
    converter.start(program, {});
    QVERIFY2(converter.waitForStarted(), qPrintable(converter.errorString()));
    // It converts on its first activation and then waits on its final message, which no one here answers.
    QTRY_COMPARE_WITH_TIMEOUT(readBytes(path(DataFile::fileName)), expected, 30000);
    QCOMPARE(converter.state(), QProcess::Running);
    converter.kill();
    converter.waitForFinished();
}

QTEST_MAIN(tst_OddFolders)
#include "tst_oddfolders.moc"
