#include "itemdata/datafile.h"
#include "itemdata/safesave.h"
#include "testfiles.h"

#include "itemdata/cp932.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

class TestDataFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void loadsRecordsInFileOrder();
    void longTextsAndKeptBytes_keepTheirPlaces();
    void readInPieces_sameAsWhole_data();
    void readInPieces_sameAsWhole();
    void roundTrip_writesTheSameBytes_data();
    void roundTrip_writesTheSameBytes();
    void changedFlag_isWrittenAlone();
    void bareTextWithDoubleQuote_isSavedAsRead_andReadsBackWhole();
    void tolerantReading_isWrittenInTheOwnForm();
    void badFile_namesFileLineAndReason_data();
    void badFile_namesFileLineAndReason();
    void missingFile_isReported();
    void nameTakenByFolder_failsWithMessage();

private:
    QString path() const { return m_dir->filePath(DataFile::fileName); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDataFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDataFile::loadsRecordsInFileOrder()
{
    writeBytes(path(),
        sjis(u"\"名前\",\"s1\",\"s2\",\"c\",\"売\",\"e\",\"k\",0,0,0,0\r\n"
             "\"木の椅子, 大\",\"家具\",\"A\",\"ゆき\",\"100\",\"メモ あり\",\"いす\",1,0,2,255\r\n"_s));
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QCOMPARE(table.count(), 2);
    QCOMPARE(table.text(2, ItemTable::Name), u"木の椅子, 大");
    QCOMPARE(table.text(2, ItemTable::Sell), u"100");
    QCOMPARE(table.text(2, ItemTable::Etc), u"メモ あり");
    QCOMPARE(table.searchText(2), u"(1)木の椅子, 大(2)家具A(3)ゆき(4)メモ あり(5)いす");
    QCOMPARE(table.flag(2, 1), quint8(1));
    QCOMPARE(table.flag(2, 3), quint8(2));
    QCOMPARE(table.flag(2, 4), quint8(255));
    QCOMPARE(table.text(1, ItemTable::Name), u"名前");
}

void TestDataFile::longTextsAndKeptBytes_keepTheirPlaces()
{
    // Lengths of 255 units and more are kept apart from the rest; 0xED40 is kept as read, since Qt writes its
    // character as 0xFA5C.
    const QString name(300, u'木');
    const QString etc(254, u'a');
    const QString seek(255, u'b');
    const QByteArray record = "\"" + sjis(name) + "\",\"\xED\x40\",\"s2\",\"c\",\"100\",\"" + sjis(etc) + "\",\""
        + sjis(seek) + "\",1,2,3,4\r\n";
    const QByteArray bytes = "\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n" + record + record;
    writeBytes(path(), bytes);
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QCOMPARE(table.count(), 3);
    for (int r = 2; r <= 3; ++r) {
        QCOMPARE(table.text(r, ItemTable::Name), name);
        QCOMPARE(table.text(r, ItemTable::Set1), Cp932::decode("\xED\x40"));
        QCOMPARE(table.text(r, ItemTable::Set2), u"s2");
        QCOMPARE(table.text(r, ItemTable::Sell), u"100");
        QCOMPARE(table.text(r, ItemTable::Etc), etc);
        QCOMPARE(table.searchText(r),
            u"(1)"_s + name + u"(2)"_s + Cp932::decode("\xED\x40") + u"s2(3)c(4)"_s + etc + u"(5)"_s + seek);
        QCOMPARE(table.storedBytes(r, ItemTable::Set1), QByteArray("\xED\x40"));
        QCOMPARE(table.storedBytes(r, ItemTable::Seek), sjis(seek));
        QCOMPARE(table.flag(r, 4), quint8(4));
    }
    QCOMPARE(table.encodesBack(1), true);
    QCOMPARE(table.encodesBack(2), false);
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path()), bytes);
}

// Everything a table tells, one line a record, to compare two tables at once.
static QStringList contents(const ItemTable& table)
{
    QStringList lines;
    for (int record = 1; record <= table.count(); ++record) {
        QStringList line { table.searchText(record).toString() };
        for (int f = 0; f < ItemTable::FieldCount; ++f) {
            line << table.text(record, ItemTable::Field(f)).toString()
                 << QString::fromLatin1(table.storedBytes(record, ItemTable::Field(f)).toHex());
        }
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            line << QString::number(table.flag(record, villager));
        lines << line.join(u'|');
    }
    return lines;
}

void TestDataFile::readInPieces_sameAsWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray header("\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n");
    QTest::newRow("line ends of every kind, in texts too") << header
            + "\"a\r\nb\",\"c,d\",\"\",\"e\rf\",\"\",\"\",\"g\nh\",1,0,0,1\r"
              "x,,,,,,,0,1,0,0\ny,,,,,,, 2 ,0,0,1\r\n";
    QTest::newRow("blanks and words around the fields") << header + "  a , b ,\"c\"tail,,,,,one,0,0,1\r\n";
    QTest::newRow("record longer than the pieces") << header + "\"" + QByteArray(300, 'n') + "\",,,,,,,0,0,0,0\r\n";
    QTest::newRow("double-byte codes and invalid bytes")
        << header + sjis(u"\"木の椅子\",\"家具\",,,,,\"いす\",1,1,1,1\r\n"_s) + "\"\xED\x40\x80\x82\",,,,,,,0,0,0,0";
    QTest::newRow("no line end at the end") << header + "a,,,,,,,0,0,0,1";
    QTest::newRow("error after many lines") << header + header + header + "a,b,c,d,e,f,g,0,x1,0,0\r\n";
    QTest::newRow("quote never closed") << header + "\"a,,,,,,,0,0,0,0\r\n";
    QTest::newRow("record cut short at the end") << header + "a,b,c\r\n";
}

void TestDataFile::readInPieces_sameAsWhole()
{
    QFETCH(QByteArray, bytes);
    ItemTable whole;
    const std::optional<FileError> wholeFailure = DataFile::parse(bytes, path(), &whole);
    for (const qsizetype piece : { 1, 2, 3, 7, 64 }) {
        QBuffer device(&bytes);
        QVERIFY(device.open(QIODevice::ReadOnly));
        ItemTable pieces;
        const std::optional<FileError> failure = DataFile::read(&device, path(), &pieces, piece);
        QCOMPARE(failure.has_value(), wholeFailure.has_value());
        if (failure) {
            QCOMPARE(failure->line, wholeFailure->line);
            QCOMPARE(failure->reason, wholeFailure->reason);
        } else {
            QCOMPARE(contents(pieces), contents(whole));
        }
    }
}

void TestDataFile::roundTrip_writesTheSameBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("header only") << QByteArray("\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n");
    QTest::newRow("commas, blanks, empty texts, flag 2")
        << sjis(u"\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n"
                "\"a, b\",\" lead\",\"\",\"キャラ\",\"1,200\",\"\",\"\",2,1,0,1\r\n"_s);
    // Codes that decode to the same character as another code must come back as they were.
    QTest::newRow("NEC-selected IBM and 0x87 codes")
        << QByteArray("\"\xED\x40\xFA\x5C\",\"\x87\x90\x81\xE0\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n");
    QTest::newRow("bytes that are not code page 932")
        << QByteArray("\"\x80\xA0\xFD\x81\",\"\",\"\",\"\",\"\",\"\",\"\",1,1,1,1\r\n");
}

void TestDataFile::roundTrip_writesTheSameBytes()
{
    QFETCH(QByteArray, bytes);
    writeBytes(path(), bytes);
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path()), bytes);
    // A second save without changes gives identical bytes again.
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path()), bytes);
}

void TestDataFile::changedFlag_isWrittenAlone()
{
    writeBytes(
        path(), "\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n\"x\",\"\",\"\",\"\",\"\",\"\",\"\",2,0,0,0\r\n");
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    table.setFlag(2, 2, 1);
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path()),
        QByteArray("\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n\"x\",\"\",\"\",\"\",\"\",\"\",\"\",2,1,0,0\r\n"));
}

void TestDataFile::bareTextWithDoubleQuote_isSavedAsRead_andReadsBackWhole()
{
    // Only a bare field can hold a double quote; quoted, the text would end at it.
    const QByteArray bytes = sjis(u"\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n"
                                  "12\" レコード,\"家具\",\"\",a\"b\"c,\"\",\"\",\"\",1,0,0,0\r\n"_s);
    writeBytes(path(), bytes);
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path()), bytes);

    ItemTable reread;
    QVERIFY(!DataFile::load(m_dir->path(), &reread));
    QCOMPARE(reread.text(2, ItemTable::Name), u"12\" レコード");
    QCOMPARE(reread.text(2, ItemTable::Set1), u"家具");
    QCOMPARE(reread.text(2, ItemTable::Char), u"a\"b\"c");
    QCOMPARE(reread.flag(2, 1), quint8(1));
}

void TestDataFile::tolerantReading_isWrittenInTheOwnForm()
{
    // Bare texts, blanks, a word in a flag field, LF line ends and no final line end.
    writeBytes(path(), "Name,s1 , s2,c,p,e,k,a,b,c,d\nitem,,,,,,, 1 ,0,0,1");
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path()),
        QByteArray("\"Name\",\"s1\",\"s2\",\"c\",\"p\",\"e\",\"k\",0,0,0,0\r\n"
                   "\"item\",\"\",\"\",\"\",\"\",\"\",\"\",1,0,0,1\r\n"));
}

void TestDataFile::badFile_namesFileLineAndReason_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    const QByteArray header("\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n");
    QTest::newRow("record cut short") << header + "\"a\",\"b\"\r\n" << 2 << u"11 項目のうち 2 項目"_s;
    QTest::newRow("stray empty line at the end") << header + "\r\n" << 2 << u"11 項目のうち 1 項目"_s;
    QTest::newRow("flag above 255") << header + "\"a\",\"\",\"\",\"\",\"\",\"\",\"\",0,256,0,0\r\n"
                                    << 2 << u"「256」"_s;
    QTest::newRow("negative flag") << header + header + "\"a\",\"\",\"\",\"\",\"\",\"\",\"\",-1,0,0,0\r\n"
                                   << 3 << u"0 から 255"_s;
    QTest::newRow("flag with digits and a word") << header + "\"a\",\"\",\"\",\"\",\"\",\"\",\"\",1x,0,0,0\r\n"
                                                 << 2 << u"数値ではありません"_s;
}

void TestDataFile::badFile_namesFileLineAndReason()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    writeBytes(path(), bytes);
    ItemTable table;
    const std::optional<FileError> failure = DataFile::load(m_dir->path(), &table);
    QVERIFY(failure);
    QCOMPARE(failure->filePath, QDir::toNativeSeparators(path()));
    QCOMPARE(failure->line, line);
    QVERIFY2(failure->reason.contains(reason), qPrintable(failure->reason));
    QVERIFY(failure->message().contains(DataFile::fileName));
    QCOMPARE(readBytes(path()), bytes);
}

void TestDataFile::missingFile_isReported()
{
    ItemTable table;
    const std::optional<FileError> failure = DataFile::load(m_dir->path(), &table);
    QVERIFY(failure);
    QCOMPARE(failure->line, 0);
    QVERIFY(failure->message().contains(DataFile::fileName));
    QVERIFY(!QFile::exists(path()));
}

void TestDataFile::nameTakenByFolder_failsWithMessage()
{
    writeBytes(path(), "\"h\",\"\",\"\",\"\",\"\",\"\",\"\",0,0,0,0\r\n");
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QVERIFY(QFile::remove(path()));
    QVERIFY(QDir().mkpath(path()));
    const std::optional<FileError> failure = DataFile::save(m_dir->path(), table);
    QVERIFY(failure);
    QVERIFY(failure->message().contains(DataFile::fileName));
    QVERIFY(QFileInfo(path()).isDir());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
