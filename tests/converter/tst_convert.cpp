#include "converter/conversion.h"
#include "itemdata/clock.h"
#include "itemdata/oldfile.h"

#include "itemdata/datafile.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

// One catalogue line: the given name and flags, with Japanese sample texts around them.
QByteArray item(const QString& name, const QString& flags)
{
    return sjis(u"\"%1\",\"家具\",\"しずくシリーズ\",\"ギイチ工房\",\"1,000つぶ\",\"限定 (秋の市のみ)\","
                "\"しずくのまるいす\",%2\r\n"_s.arg(name, flags));
}

const QByteArray header = item(u"アイテム名"_s, u"0,0,0,0"_s);

QString catalogueIn(const QTemporaryDir& dir)
{
    return dir.filePath(u"kuradata_v2.csv"_s);
}

QString oldFileIn(const QTemporaryDir& dir)
{
    return dir.filePath(u"kuradata.csv"_s);
}

QStringList filesIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

// Fails the test with the error's own message when the conversion did not succeed.
#define VERIFY_NO_FILE_ERROR(expression)                                                                               \
    do {                                                                                                               \
        const std::optional<FileError> failure_ = (expression);                                                        \
        QVERIFY2(!failure_, failure_ ? qPrintable(failure_->message()) : "");                                          \
    } while (false)

class tst_Convert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oldFileLines_data();
    void oldFileLines();
    void carriesMarks_data();
    void carriesMarks();
    void runningTwiceChangesNothingMore();
    void catalogueNamesAreComparedWithoutQuotes();
    void failureLeavesCatalogueUntouched_data();
    void failureLeavesCatalogueUntouched();
    void missingCatalogueIsNotCreated();
    void catalogueAsItWasIsKeptInBackup();
};

void tst_Convert::oldFileLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // One entry a line read: name, mark and line number, separated by "|".
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("header only") << QByteArray("name,mark\r\n") << QStringList();
    QTest::newRow("header without line end") << QByteArray("whatever") << QStringList();
    QTest::newRow("header that looks like a mark")
        << QByteArray("Lamp,1\r\nChair,0\r\n") << QStringList { u"Chair|0|2"_s };
    QTest::newRow("further fields ignored") << QByteArray("h\r\nLamp,1,x,,\r\n") << QStringList { u"Lamp|1|2"_s };
    QTest::newRow("quotes removed anywhere, blanks kept")
        << QByteArray("h\r\n\"Lamp\",1\r\n Ki\"ss\"y ,0\r\n") << QStringList { u"Lamp|1|2"_s, u" Kissy |0|3"_s };
    QTest::newRow("blanks around the mark") << QByteArray("h\r\nLamp,  2 \r\n") << QStringList { u"Lamp|2|2"_s };
    QTest::newRow("empty name") << QByteArray("h\r\n,1\r\n") << QStringList { u"|1|2"_s };
    QTest::newRow("lone LF and lone CR end lines too")
        << QByteArray("h\nA,1\rB,0\r\nC,1") << QStringList { u"A|1|2"_s, u"B|0|3"_s, u"C|1|4"_s };
    QTest::newRow("code page 932") << sjis(u"見出し\r\n\"しずくの本棚\",1\r\n表,0\r\n"_s)
                                   << QStringList { u"しずくの本棚|1|2"_s, u"表|0|3"_s };
}

void tst_Convert::oldFileLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    QList<OldMark> marks;
    VERIFY_NO_FILE_ERROR(OldFile::parse(bytes, u"kuradata.csv"_s, &marks));
    QStringList read;
    for (const OldMark& mark : marks)
        read.append(u"%1|%2|%3"_s.arg(mark.name).arg(mark.mark).arg(mark.line));
    QCOMPARE(read, expected);
}

void tst_Convert::carriesMarks_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QByteArray>("oldFile");
    QTest::addColumn<QByteArray>("expected");

    const QString lamp = u"こもれびのランタン"_s;
    const QString chair = u"しずくの丸椅子"_s;
    // The catalogue with the given flags for its items, in file order; the last item has empty texts.
    const auto catalogueWith = [&](const QStringList& flags) {
        return header + item(lamp, flags[0]) + item(chair, flags[1]) + item(lamp, flags[2])
            + QByteArray("\"Shelf\",\"\",\"\",\"\",\"\",\"\",\"\",") + flags[3].toLatin1() + "\r\n";
    };
    const QByteArray catalogue = catalogueWith({ u"0,1,0,0"_s, u"0,0,0,0"_s, u"0,2,1,0"_s, u"1,0,0,2"_s });
    const QByteArray oldHeader = sjis(u"アイテム名,取得\r\n"_s);

    QTest::newRow("only the first of two equal names")
        << catalogue << oldHeader + sjis(lamp + u",1\r\n"_s)
        << catalogueWith({ u"1,1,0,0"_s, u"0,0,0,0"_s, u"0,2,1,0"_s, u"1,0,0,2"_s });
    QTest::newRow("quoted old name") << catalogue << oldHeader + sjis(u"\""_s + chair + u"\",1\r\n"_s)
                                     << catalogueWith({ u"0,1,0,0"_s, u"1,0,0,0"_s, u"0,2,1,0"_s, u"1,0,0,2"_s });
    QTest::newRow("marks 0 and 2 ignored")
        << catalogue << oldHeader + sjis(lamp + u",0\r\n"_s + chair + u",2\r\n"_s) << catalogue;
    QTest::newRow("case and blanks must match exactly")
        << catalogue << oldHeader + QByteArray("shelf,1\r\nSHELF,1\r\n Shelf,1\r\n") + sjis(chair + u" ,1\r\n"_s)
        << catalogue;
    QTest::newRow("unknown name") << catalogue << oldHeader + QByteArray("Table,1\r\n") << catalogue;
    QTest::newRow("a flag already set stays set, none is cleared")
        << catalogue << oldHeader + QByteArray("Shelf,0\r\nShelf,1\r\n") << catalogue;
    QTest::newRow("the header record takes part")
        << catalogue << oldHeader + sjis(u"アイテム名,1\r\n"_s)
        << item(u"アイテム名"_s, u"1,0,0,0"_s) + catalogue.sliced(header.size());
    QTest::newRow("old file with only its header line") << catalogue << oldHeader << catalogue;
    QTest::newRow("empty catalogue") << QByteArray() << oldHeader + sjis(lamp + u",1\r\n"_s) << QByteArray();
}

void tst_Convert::carriesMarks()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QByteArray, oldFile);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    writeBytes(catalogueIn(dir), catalogue);
    writeBytes(oldFileIn(dir), oldFile);

    VERIFY_NO_FILE_ERROR(convertData(dir.path(), systemTime()));
    QCOMPARE(readBytes(catalogueIn(dir)), expected);
    QCOMPARE(readBytes(oldFileIn(dir)), oldFile);
    QCOMPARE(filesIn(dir), (QStringList { u"kuradata.csv"_s, u"kuradata_v2.csv"_s }));
}

void tst_Convert::runningTwiceChangesNothingMore()
{
    const QString lamp = u"こもれびのランタン"_s;
    QTemporaryDir dir;
    writeBytes(catalogueIn(dir), header + item(lamp, u"0,1,0,0"_s) + item(lamp, u"0,0,0,0"_s));
    writeBytes(oldFileIn(dir), sjis(u"h\r\n"_s + lamp + u",1\r\n"_s + lamp + u",1\r\n"_s));

    VERIFY_NO_FILE_ERROR(convertData(dir.path(), systemTime()));
    const QByteArray once = readBytes(catalogueIn(dir));
    QCOMPARE(once, header + item(lamp, u"1,1,0,0"_s) + item(lamp, u"0,0,0,0"_s));
    VERIFY_NO_FILE_ERROR(convertData(dir.path(), systemTime()));
    QCOMPARE(readBytes(catalogueIn(dir)), once);
}

void tst_Convert::catalogueNamesAreComparedWithoutQuotes()
{
    // A bare field keeps the double quotes inside it; they are no part of the name when compared.
    ItemTable table;
    VERIFY_NO_FILE_ERROR(
        DataFile::parse(QByteArray("h,,,,,,,0,0,0,0\r\nKi\"ss\"y,,,,,,,0,0,0,0\r\nKissy,,,,,,,0,0,0,0\r\n"),
            u"kuradata_v2.csv"_s, &table));
    QCOMPARE(table.text(2, ItemTable::Name).toString(), u"Ki\"ss\"y"_s);

    carryOverMarks({ OldMark { u"Kissy"_s, 1, 2 } }, &table);
    QCOMPARE(table.flag(2, 1), quint8(1));
    QCOMPARE(table.flag(3, 1), quint8(0));
}

void tst_Convert::failureLeavesCatalogueUntouched_data()
{
    QTest::addColumn<bool>("hasOldFile");
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QByteArray>("oldFile");
    QTest::addColumn<QString>("failingFile");
    QTest::addColumn<int>("line");

    const QString lamp = u"こもれびのランタン"_s;
    // The bare texts of the last line would come back quoted from any rewrite, however early.
    const QByteArray catalogue
        = header + item(lamp, u"0,0,0,0"_s) + item(u"Ham, eggs"_s, u"0,0,0,0"_s) + "Lamp,x,,,,,,0,0,0,0\r\n";
    const QString oldName = u"kuradata.csv"_s;
    // Each bad line comes after a good mark, which must not reach the file either.
    const QByteArray good = sjis(u"h\r\n"_s + lamp + u",1\r\n"_s);

    QTest::newRow("old file missing") << false << catalogue << QByteArray() << oldName << 0;
    QTest::newRow("old file empty") << true << catalogue << QByteArray() << oldName << 1;
    QTest::newRow("name with a comma") << true << catalogue << good + "\"Ham, eggs\",1\r\n" << oldName << 3;
    QTest::newRow("no comma") << true << catalogue << good + "Lamp\r\n" << oldName << 3;
    QTest::newRow("empty line") << true << catalogue << good + "\r\n" + sjis(lamp + u",1\r\n"_s) << oldName << 3;
    QTest::newRow("empty line at the end") << true << catalogue << good + "\r\n" << oldName << 3;
    QTest::newRow("mark empty") << true << catalogue << good + "Lamp,\r\n" << oldName << 3;
    QTest::newRow("mark not a number") << true << catalogue << good + sjis(u"Lamp,１\r\n"_s) << oldName << 3;
    QTest::newRow("lines counted at lone line ends") << true << catalogue << good + "A,1\nB,x\rC,1\r\n" << oldName << 4;
    QTest::newRow("catalogue cut short") << true << catalogue + "\"Lamp\",\"\",0\r\n"
                                         << good << u"kuradata_v2.csv"_s << 5;
    QTest::newRow("catalogue flag out of range")
        << true << catalogue + item(u"Lamp"_s, u"0,256,0,0"_s) << good << u"kuradata_v2.csv"_s << 5;
}

void tst_Convert::failureLeavesCatalogueUntouched()
{
    QFETCH(bool, hasOldFile);
    QFETCH(QByteArray, catalogue);
    QFETCH(QByteArray, oldFile);
    QFETCH(QString, failingFile);
    QFETCH(int, line);

    QTemporaryDir dir;
    writeBytes(catalogueIn(dir), catalogue);
    if (hasOldFile)
        writeBytes(oldFileIn(dir), oldFile);
    const QStringList filesBefore = filesIn(dir);

    const std::optional<FileError> failure = convertData(dir.path(), systemTime());
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(dir.filePath(failingFile)));
    QCOMPARE(failure->line, line);
    QVERIFY(!failure->reason.isEmpty());
    QCOMPARE(readBytes(catalogueIn(dir)), catalogue);
    QCOMPARE(filesIn(dir), filesBefore);
    QVERIFY(!QFileInfo::exists(dir.filePath(u"backup"_s)));
}

void tst_Convert::missingCatalogueIsNotCreated()
{
    QTemporaryDir dir;
    writeBytes(oldFileIn(dir), QByteArray("h\r\nLamp,1\r\n"));

    const std::optional<FileError> failure = convertData(dir.path(), systemTime());
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(catalogueIn(dir)));
    QCOMPARE(filesIn(dir), QStringList { u"kuradata.csv"_s });
}

void tst_Convert::catalogueAsItWasIsKeptInBackup()
{
    const QString lamp = u"こもれびのランタン"_s;
    const QByteArray catalogue = header + item(lamp, u"0,0,0,0"_s);
    const QDateTime now(QDate(2026, 5, 6), QTime(7, 8, 9));
    QTemporaryDir dir;
    writeBytes(catalogueIn(dir), catalogue);
    writeBytes(oldFileIn(dir), sjis(u"h\r\n"_s + lamp + u",1\r\n"_s));

    // A copy that cannot be kept stops the conversion before the catalogue is touched.
    writeBytes(dir.filePath(u"backup"_s), "in the way\r\n");
    const std::optional<FileError> failure = convertData(dir.path(), now);
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(dir.filePath(u"backup"_s)));
    QCOMPARE(readBytes(catalogueIn(dir)), catalogue);

    QVERIFY(QFile::remove(dir.filePath(u"backup"_s)));
    VERIFY_NO_FILE_ERROR(convertData(dir.path(), now));
    QCOMPARE(readBytes(catalogueIn(dir)), header + item(lamp, u"1,0,0,0"_s));
    QCOMPARE(readBytes(dir.filePath(u"backup/kuradata_v2.csv.before-conversion-20260506-070809"_s)), catalogue);
}

QTEST_APPLESS_MAIN(tst_Convert)
#include "tst_convert.moc"
