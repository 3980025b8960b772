// Every save with changes keeps the pair of files it replaces in backup/, the newest ten of them; the save's order
// makes sure that nothing is replaced, and no pair removed, before every file is written and every question
// answered.
#include "reliabilityfixture.h"
#include "sessionchanges.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "system/filelink.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

using Answer = Prompts::Answer;

QStringList backupNames(const QString& folder)
{
    return QDir(BackupFolder::path(folder)).entryList(QDir::Files, QDir::Name);
}

void save(Checklist& checklist)
{
    checklist.prompts.expectQuestion(Answer::Ok);
    ui(checklist.form).btnsave->trigger();
}

QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({ u"*.kuranote-save-*"_s }, QDir::Files | QDir::Hidden);
}

// Answers the save's questions from a script, and fails the test on one nobody expected.
class ScriptedSaveQuestions final : public SaveQuestions
{
public:
    bool overwriteChangedFiles(const QStringList& files) override
    {
        qWarning("unexpected question about %s", qPrintable(files.join(u' ')));
        unexpected = true;
        return false;
    }
    bool saveWithoutBackup(const FileError& failure) override
    {
        asked.append(failure.message());
        if (backupAnswers.empty()) {
            unexpected = true;
            return false;
        }
        if (whenAsked)
            whenAsked();
        const bool answer = backupAnswers.front();
        backupAnswers.pop_front();
        return answer;
    }

    std::deque<bool> backupAnswers;
    std::function<void()> whenAsked;
    QStringList asked;
    bool unexpected = false;
};

// A checklist document over the sample files, its list filled, saved without a window.
struct Document
{
    explicit Document(const QString& folder)
        : document(folder)
    {
        copySampleFiles(folder);
        loaded = !document.load();
        document.setKey(allItemsKey);
        document.setClock([this] { return now; });
    }
    SaveResult save()
    {
        now = now.addSecs(1);
        return document.kurasave(questions, WindowLayout { QSizeF(9000, 7000), {} });
    }

    ChecklistDocument document;
    ScriptedSaveQuestions questions;
    QDateTime now { QDate(2026, 3, 4), QTime(5, 6, 7) };
    bool loaded = false;
};

// The pairs of the saves so far, the newest last, each found as the two names a save added to backup/.
class SaveHistory
{
public:
    explicit SaveHistory(const QString& folder)
        : m_folder(folder)
        , m_seen(backupNames(folder))
    {
    }
    // Takes in the pair the last save added; empty when all of the last ten saves' pairs are still there, else
    // the names of the missing ones.
    QStringList afterSave()
    {
        const QStringList names = backupNames(m_folder);
        QStringList added;
        for (const QString& name : names) {
            if (!m_seen.contains(name))
                added.append(name);
        }
        m_pairs.append(added);
        m_seen = names;
        QStringList missing;
        if (added.size() != 2)
            missing << u"a pair for save %1, not %2"_s.arg(m_pairs.size()).arg(added.join(u' '));
        for (qsizetype i = std::max<qsizetype>(0, m_pairs.size() - BackupFolder::savesKept); i < m_pairs.size(); ++i) {
            for (const QString& name : std::as_const(m_pairs[i])) {
                if (!names.contains(name))
                    missing << name;
            }
        }
        return missing;
    }

private:
    QString m_folder;
    QStringList m_seen;
    QList<QStringList> m_pairs;
};

} // namespace

class tst_SaveBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void twelveSavesInOneSecond_keepTheTenNewestPairsAndNothingElseGoes();
    void clockMoved_keepsThePairsOfTheLastTenSaves_data();
    void clockMoved_keepsThePairsOfTheLastTenSaves();
    void backupRefused_replacesNothing_afterBothFilesWereWritten();
    void failedSave_keepsNoPairAndRemovesNone_data();
    void failedSave_keepsNoPairAndRemovesNone();
    void backup_isTheReplacedFileUnderASecondName();
    void symbolicLinkAndSecondName_keepTrueBackups();
};

void tst_SaveBackups::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void tst_SaveBackups::twelveSavesInOneSecond_keepTheTenNewestPairsAndNothingElseGoes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    copySampleFiles(folder);
    QVERIFY(QDir(folder).mkdir(BackupFolder::folderName));
    const QStringList foreign { u"kuradata_v2.csv.before-update-20000101-000000"_s,
        u"kuradata_v2.csv.before-conversion-20000101-000000"_s, u"kurasize.dat.20000101-000000.old"_s,
        u"kurasize.dat.2000010-000000"_s, u"メモ.txt"_s };
    for (const QString& name : foreign)
        writeBytes(QDir(BackupFolder::path(folder)).filePath(name), "the user's own\r\n");
    Checklist checklist(folder);
    QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
    checklist.document.setClock([&] { return now; });
    QVERIFY(checklist.load());
    checklist.form->show();

    QByteArray replacedData;
    QByteArray replacedSettings;
    for (int change = 1; change <= 12; ++change) {
        // A tick, a rename or a colour; never only a switch of villager, which changes nothing a save writes.
        if (change % 10 == 5)
            checklist.document.toggleRow(0);
        else
            makeSessionChange(checklist.document, change);
        replacedData = readBytes(dataFileIn(folder));
        replacedSettings = readBytes(QDir(folder).filePath(SettingsFile::fileName));
        save(checklist);
        VERIFY_PROMPTS_DONE(checklist.prompts);
        QVERIFY(!checklist.document.isModified());
    }

    QStringList expected = foreign;
    for (int n = 3; n <= 12; ++n) {
        expected << u"kuradata_v2.csv.20260304-050607-%1"_s.arg(n) << u"kurasize.dat.20260304-050607-%1"_s.arg(n);
    }
    expected.sort();
    QCOMPARE(backupNames(folder), expected);
    const QDir backups(BackupFolder::path(folder));
    QCOMPARE(readBytes(backups.filePath(u"kuradata_v2.csv.20260304-050607-12"_s)), replacedData);
    QCOMPARE(readBytes(backups.filePath(u"kurasize.dat.20260304-050607-12"_s)), replacedSettings);
    // The last change renamed the village: the copy is of the settings before it.
    QVERIFY(replacedSettings != readBytes(QDir(folder).filePath(SettingsFile::fileName)));

    // Nothing unsaved and the files as last saved: a save keeps no copy of what it would write again.
    save(checklist);
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QCOMPARE(backupNames(folder), expected);

    // Nothing unsaved, but the settings rewritten elsewhere: はい to the overwrite question keeps them first.
    const QString settingsPath = QDir(folder).filePath(SettingsFile::fileName);
    const QByteArray elsewhere = readBytes(settingsPath) + "\r\n";
    writeBytes(settingsPath, elsewhere);
    checklist.prompts.expectQuestion(Answer::Ok);
    checklist.prompts.expectQuestion(Answer::Yes);
    ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);
    QCOMPARE(readBytes(backups.filePath(u"kurasize.dat.20260304-050607-13"_s)), elsewhere);
    QCOMPARE(backupNames(folder).size(), expected.size());
}

void tst_SaveBackups::clockMoved_keepsThePairsOfTheLastTenSaves_data()
{
    QTest::addColumn<QList<qint64>>("offsets"); // seconds the clock is moved by before each series of saves
    const qint64 year = 365 * 24 * 3600;
    QTest::newRow("a year back") << QList<qint64> { 0, -year };
    QTest::newRow("a year ahead, then right again") << QList<qint64> { 0, year, -year + 3600 };
}

void tst_SaveBackups::clockMoved_keepsThePairsOfTheLastTenSaves()
{
    QFETCH(QList<qint64>, offsets);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Document doc(dir.path());
    QVERIFY(doc.loaded);
    SaveHistory history(dir.path());
    for (const qint64 offset : offsets) {
        doc.now = doc.now.addSecs(offset);
        for (int save = 1; save <= 12; ++save) {
            doc.document.toggleRow(0);
            const SaveResult result = doc.save();
            QVERIFY(result.saved);
            QVERIFY(!result.problem);
            const QStringList missing = history.afterSave();
            QVERIFY2(missing.isEmpty(), qPrintable(doc.now.toString() + u": "_s + missing.join(u' ')));
        }
    }
    QVERIFY(!doc.questions.unexpected);
}

void tst_SaveBackups::backupRefused_replacesNothing_afterBothFilesWereWritten()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Document doc(dir.path());
    QVERIFY(doc.loaded);
    writeBytes(BackupFolder::path(dir.path()), "a file in the backup folder's place\r\n");
    doc.document.toggleRow(0);
    const QStringList before = folderSnapshot(dir.path());

    // Asked once both files are written and flushed beside the old ones, so that a failed write never asks.
    QStringList writtenWhenAsked;
    doc.questions.whenAsked = [&] { writtenWhenAsked = temporariesIn(dir.path()); };
    doc.questions.backupAnswers = { false };
    SaveResult result = doc.save();
    QVERIFY(!result.saved);
    QVERIFY(!result.problem);
    QCOMPARE(writtenWhenAsked.size(), 2);
    QVERIFY2(doc.questions.asked.value(0).contains(QDir::toNativeSeparators(BackupFolder::path(dir.path()))),
        qPrintable(doc.questions.asked.value(0)));
    QCOMPARE(folderSnapshot(dir.path()), before);
    QVERIFY(doc.document.isModified());

    doc.questions.backupAnswers = { true };
    result = doc.save();
    QVERIFY(result.saved);
    QCOMPARE(readBytes(dataFileIn(dir.path())), DataFile::encode(doc.document.items()));
    QCOMPARE(readBytes(BackupFolder::path(dir.path())), "a file in the backup folder's place\r\n");
    QVERIFY(temporariesIn(dir.path()).isEmpty());
    QVERIFY(!doc.questions.unexpected);
}

void tst_SaveBackups::failedSave_keepsNoPairAndRemovesNone_data()
{
    QTest::addColumn<QString>("failing"); // the file whose flush or rename fails
    QTest::addColumn<bool>("flush"); // false: its rename
    QTest::addColumn<bool>("catalogueReplaced");
    QTest::newRow("catalogue's flush") << DataFile::fileName << true << false;
    QTest::newRow("settings' flush") << SettingsFile::fileName << true << false;
    QTest::newRow("catalogue's rename") << DataFile::fileName << false << false;
    QTest::newRow("settings' rename") << SettingsFile::fileName << false << true;
}

void tst_SaveBackups::failedSave_keepsNoPairAndRemovesNone()
{
    QFETCH(QString, failing);
    QFETCH(bool, flush);
    QFETCH(bool, catalogueReplaced);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Document doc(dir.path());
    QVERIFY(doc.loaded);
    for (int save = 1; save <= BackupFolder::savesKept; ++save) {
        doc.document.toggleRow(0);
        QVERIFY(doc.save().saved);
    }
    const QStringList pairs = backupNames(dir.path());
    QCOMPARE(pairs.size(), 2 * BackupFolder::savesKept);
    const QByteArray oldData = readBytes(dataFileIn(dir.path()));
    const QByteArray oldSettings = readBytes(QDir(dir.path()).filePath(SettingsFile::fileName));

    const QString failingPath = QDir(dir.path()).filePath(failing);
    const QString reason = u"入出力エラー"_s;
    SaveCalls calls;
    QString flushing;
    if (flush) {
        // The flush knows only a handle: the file is the one written last, whose temporary names it.
        calls.flush = [&](int) -> std::optional<QString> {
            const QStringList written = temporariesIn(dir.path());
            if (written.size() == 1 + int(failing == SettingsFile::fileName))
                return reason;
            return std::nullopt;
        };
    } else {
        calls.replace = [&](const QString& replacement, const QString& path) -> std::optional<QString> {
            if (QFileInfo(path).fileName() == failing)
                return reason;
            return replaceFile(replacement, path);
        };
    }
    doc.document.setSaveCalls(calls);
    doc.document.toggleRow(0);
    doc.document.renameVillage(StoredText::fromBytes("X"));
    const SaveResult result = doc.save();

    QVERIFY(!result.saved);
    QVERIFY(result.problem);
    QCOMPARE(result.problem->filePath, QDir::toNativeSeparators(failingPath));
    QVERIFY2(result.problem->reason.contains(reason), qPrintable(result.problem->message()));
    QVERIFY(temporariesIn(dir.path()).isEmpty());
    QCOMPARE(readBytes(QDir(dir.path()).filePath(SettingsFile::fileName)), oldSettings);
    QVERIFY(doc.document.isModified());
    if (!catalogueReplaced) {
        QCOMPARE(readBytes(dataFileIn(dir.path())), oldData);
        QCOMPARE(backupNames(dir.path()), pairs);
        return;
    }
    // The catalogue's rename happened: what it replaced lives on only in its backup, so the pair stays whole, and
    // the document knows the catalogue on disk for its own.
    QCOMPARE(readBytes(dataFileIn(dir.path())), DataFile::encode(doc.document.items()));
    const QStringList names = backupNames(dir.path());
    QCOMPARE(names.size(), pairs.size() + 2);
    QCOMPARE(readBytes(QDir(BackupFolder::path(dir.path())).filePath(names.last())), oldSettings);
    QCOMPARE(doc.document.filesChangedElsewhere(), QStringList());
}

void tst_SaveBackups::backup_isTheReplacedFileUnderASecondName()
{
#ifdef Q_OS_WIN
    QSKIP("the file's number is read with stat()");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Document doc(dir.path());
    QVERIFY(doc.loaded);
    const auto fileNumber = [](const QString& path) {
        struct stat status
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
    };
    const ino_t catalogue = fileNumber(dataFileIn(dir.path()));
    const QByteArray oldData = readBytes(dataFileIn(dir.path()));
    doc.document.toggleRow(0);
    QVERIFY(doc.save().saved);

    const QString kept = QDir(BackupFolder::path(dir.path())).filePath(u"kuradata_v2.csv.20260304-050608"_s);
    QCOMPARE(fileNumber(kept), catalogue);
    QCOMPARE(nameCount(kept), 1);
    QCOMPARE(readBytes(kept), oldData);
#endif
}

void tst_SaveBackups::symbolicLinkAndSecondName_keepTrueBackups()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut file on Windows, and a second name needs a system call of its own");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Document doc(dir.path());
    QVERIFY(doc.loaded);
    // The catalogue a symbolic link into another folder; the settings a file with a second name there.
    const QString elsewhere = dir.filePath(u"elsewhere"_s);
    QVERIFY(QDir().mkpath(elsewhere));
    const QString target = QDir(elsewhere).filePath(u"catalogue.csv"_s);
    const QByteArray oldData = readBytes(dataFileIn(dir.path()));
    QVERIFY(QFile::rename(dataFileIn(dir.path()), target));
    QVERIFY(QFile::link(target, dataFileIn(dir.path())));
    const QString settings = QDir(dir.path()).filePath(SettingsFile::fileName);
    const QString secondName = QDir(elsewhere).filePath(u"settings.dat"_s);
    const QByteArray oldSettings = readBytes(settings);
    QVERIFY(!linkFile(settings, secondName));
    doc.document.toggleRow(0);
    QVERIFY(doc.save().saved);

    QVERIFY(QFileInfo(dataFileIn(dir.path())).isSymLink());
    QCOMPARE(readBytes(target), DataFile::encode(doc.document.items()));
    const QDir backups(BackupFolder::path(dir.path()));
    const QString keptData = backups.filePath(u"kuradata_v2.csv.20260304-050608"_s);
    QVERIFY(!QFileInfo(keptData).isSymLink());
    QCOMPARE(readBytes(keptData), oldData);
    // Another program writing the old settings in place through their other name reaches no backup.
    writeBytes(secondName, "written in place\r\n");
    QCOMPARE(readBytes(backups.filePath(u"kurasize.dat.20260304-050608"_s)), oldSettings);
#endif
}

QTEST_MAIN(tst_SaveBackups)
#include "tst_savebackups.moc"
