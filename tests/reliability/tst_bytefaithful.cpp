// Every code of code page 932, valid or not, comes back from a load and a save exactly as it was read: also the codes
// that decode to the same character as another code, which decoding and encoding again would silently rewrite.
#include "reliabilityfixture.h"

#include "converter/conversion.h"
#include "itemdata/clock.h"
#include "itemdata/cp932.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/listview.h"
#include "testfiles.h"
#include "windowcontrols.h"

#include <QDir>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace kuranote;
using namespace Qt::StringLiterals;

namespace {

bool isLeadByte(int b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(int b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

QByteArray pair(int first, int second)
{
    return QByteArray(1, char(first)) + char(second);
}

QString qtDecoded(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
    return decoder(bytes);
}

bool decodes(const QByteArray& code)
{
    const QString text = qtDecoded(code);
    return text.size() == 1 && text[0] != u'\x1a' && text[0] != QChar::ReplacementCharacter;
}

// The codes of one lead byte: every pair that decodes, and every pair that does not, with trail bytes outside
// the trail range too.
struct LeadRow
{
    QByteArray valid;
    QByteArray invalid;
};

LeadRow leadRow(int lead)
{
    LeadRow row;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const QByteArray code = pair(lead, trail);
        if (isTrailByte(trail) && decodes(code))
            row.valid += code;
        else
            row.invalid += code;
    }
    for (const char outside : { '\x0A', '\x20', ',', '\xFD', '\xFE', '\xFF' })
        row.invalid += pair(lead, outside);
    return row;
}

// Every byte that is not a lead byte, line ends and commas included; a double quote cannot stand in a text.
QByteArray singleBytes()
{
    QByteArray bytes;
    for (int b = 0; b < 0x100; ++b) {
        if (b != '"' && !isLeadByte(b))
            bytes += char(b);
    }
    return bytes;
}

const QByteArray necSelected("\xED\x40\xED\x41");
const QByteArray ibmSame("\xFA\x5C\xFA\x5D");

QByteArray quoted(const QByteArray& text)
{
    return '"' + text + '"';
}

// Records 2 to 61: per lead byte its valid codes as the name, its invalid ones as the first set and the lead byte
// alone at the end of the second set, flags 0, 1, 2 and 255. Record 62 holds the single bytes, record 63 a name in
// NEC-selected codes. Villager 1's flag is 1 in the records listed.
QByteArray everyCodeCatalogue(const QSet<int>& ticked = {})
{
    QByteArray bytes = sjis(u"\"名前\",\"セット1\",\"セット2\",\"キャラ\",\"売値\",\"備考\",\"検索用\",0,0,0,0\r\n"_s);
    int record = 1;
    const auto addRecord = [&](const QByteArrayList& texts) {
        ++record;
        bytes += texts.join(',') + ',' + (ticked.contains(record) ? '1' : '0') + ",1,2,255\r\n";
    };
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(lead))
            continue;
        const LeadRow row = leadRow(lead);
        addRecord({ quoted(row.valid), quoted(row.invalid), quoted("a" + QByteArray(1, char(lead))), quoted(""),
            quoted("100"), quoted(row.valid.right(20)), quoted(row.valid.left(20)) });
    }
    addRecord({ quoted(singleBytes()), quoted(""), quoted(""), quoted(""), quoted(""), quoted(""), quoted("") });
    addRecord({ quoted(necSelected), quoted(""), quoted(""), quoted(""), quoted(""), quoted(""), quoted("") });
    return bytes;
}

constexpr int singleBytesRecord = 62;
constexpr int necSelectedRecord = 63;

// Villager names and the village name in the codes that have twins elsewhere in the code page.
QByteArray everyCodeSettings()
{
    QByteArrayList lines { quoted(singleBytes()) };
    for (const int lead : { 0x87, 0xED, 0xEE, 0xFA })
        lines << quoted(leadRow(lead).valid) << quoted("255") << quoted("12648384");
    lines << "6000"
          << "5000"
          << "2400"
          << "4200"
          << "1800"
          << "330"
          << "330"
          << "330"
          << "1100"
          << "1100"
          << "1000"
          << "700"
          << "1500"
          << "600";
    return lines.join("\r\n") + "\r\n";
}

} // namespace

class tst_ByteFaithful : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void everyCode_isWrittenBackByteForByte();
    void everyCode_tickInTheWindow_rewritesOnlyThatFlag();
    void everyCode_conversion_rewritesOnlyTheMarkedFlag();

private:
    QString path(const QString& fileName) const { return m_dir->filePath(fileName); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ByteFaithful::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    // The twins this file is about: two codes, one character, both among the valid codes of their rows.
    QCOMPARE(Cp932::decode(necSelected), Cp932::decode(ibmSame));
    QVERIFY(leadRow(0xED).valid.startsWith(necSelected));
    QVERIFY(leadRow(0xFA).valid.contains(ibmSame));
}

void tst_ByteFaithful::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    writeBytes(path(DataFile::fileName), everyCodeCatalogue());
    writeBytes(path(SettingsFile::fileName), everyCodeSettings());
    writeBytes(path(u"kuraword.csv"_s), readBytes(sampleFile(u"kuraword.csv"_s)));
}

void tst_ByteFaithful::everyCode_isWrittenBackByteForByte()
{
    ItemTable table;
    QVERIFY(!DataFile::load(m_dir->path(), &table));
    QCOMPARE(table.count(), necSelectedRecord);
    // What the lists show is what Qt's own converter reads in those bytes. (The single bytes are left out: Qt's table
    // swaps the control codes 0x1A, 0x1C and 0x7F, which Microsoft's and ours keep as they are.)
    for (int record = 2; record < singleBytesRecord; ++record)
        QCOMPARE(table.text(record, ItemTable::Name), qtDecoded(table.storedBytes(record, ItemTable::Name)));
    QVERIFY(!DataFile::save(m_dir->path(), table));
    QCOMPARE(readBytes(path(DataFile::fileName)), everyCodeCatalogue());

    Settings settings;
    QVERIFY(!SettingsFile::load(m_dir->path(), &settings));
    QVERIFY(!SettingsFile::save(m_dir->path(), settings));
    QCOMPARE(readBytes(path(SettingsFile::fileName)), everyCodeSettings());
}

void tst_ByteFaithful::everyCode_tickInTheWindow_rewritesOnlyThatFlag()
{
    Checklist checklist(m_dir->path());
    QVERIFY(checklist.load());
    // Tick the NEC-selected record as the user would, by its check box.
    ReportListModel& rows = checklist.document.list();
    int row = 0;
    while (row < rows.rowCount()
        && rows.cellText(row, 9) != QString::number(necSelectedRecord - 1).rightJustified(4, u'0'))
        ++row;
    QVERIFY(row < rows.rowCount());
    QVERIFY(rows.setData(rows.index(row, 0), Qt::Checked, Qt::CheckStateRole));
    checklist.prompts.expectQuestion(Prompts::Answer::Ok);
    ui(checklist.form).btnsave->trigger();
    VERIFY_PROMPTS_DONE(checklist.prompts);

    QCOMPARE(readBytes(path(DataFile::fileName)), everyCodeCatalogue({ necSelectedRecord }));
    Settings original;
    QVERIFY(!SettingsFile::parse(everyCodeSettings(), QString(), &original));
    Settings saved;
    QVERIFY(!SettingsFile::load(m_dir->path(), &saved));
    QCOMPARE(saved.townname.bytes(), original.townname.bytes());
    for (int villager = 1; villager <= 4; ++villager)
        QCOMPARE(saved.villagername[villager].bytes(), original.villagername[villager].bytes());
}

void tst_ByteFaithful::everyCode_conversion_rewritesOnlyTheMarkedFlag()
{
    // The old file names one record by its valid codes, and the NEC-selected one by the IBM twins of its codes:
    // names are compared as characters, while the catalogue keeps the bytes it holds.
    const int row87Record = 2 + (0x87 - 0x81);
    writeBytes(path(u"kuradata.csv"_s), "old\r\n" + leadRow(0x87).valid + ",1\r\n" + ibmSame + ",1\r\n");
    const std::optional<FileError> failure = convertData(m_dir->path(), systemTime());
    QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");
    QCOMPARE(readBytes(path(DataFile::fileName)), everyCodeCatalogue({ row87Record, necSelectedRecord }));
}

QTEST_MAIN(tst_ByteFaithful)
#include "tst_bytefaithful.moc"
