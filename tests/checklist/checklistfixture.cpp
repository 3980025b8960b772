#include "checklistfixture.h"

#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "testfiles.h"

#include <QTest>

using namespace Qt::StringLiterals;

QByteArray catalogueBytes(const std::vector<TestItem>& items)
{
    QByteArray bytes("\"Item\",\"Set1\",\"Set2\",\"Char\",\"Sell\",\"etc\",\"seek\",0,0,0,0\r\n");
    for (const TestItem& item : items) {
        const QStringList texts { item.name, item.set1, item.set2, item.character, item.sell, item.etc, item.seek };
        for (const QString& text : texts)
            bytes += '"' + sjis(text) + "\",";
        bytes += QByteArray::number(item.flags[0]) + ',' + QByteArray::number(item.flags[1]) + ','
            + QByteArray::number(item.flags[2]) + ',' + QByteArray::number(item.flags[3]) + "\r\n";
    }
    return bytes;
}

QByteArrayList settingsLines()
{
    return { sjis(u"\"ほしくさ村\""_s), sjis(u"\"ゆず\""_s), "\"255\"", "\"12648384\"", sjis(u"\"そうた\""_s),
        "\"8388608\"", "\"16764108\"", "\"Mika\"", "\"8388736\"", "\"13408767\"", "\"4th\"", "\"16512\"",
        "\"13434879\"", "6000", "5000", "2400", "4200", "1800", "330", "330", "330", "1100", "1100", "1000", "700",
        "1500", "600" };
}

QByteArray joinLines(const QByteArrayList& lines)
{
    return lines.join("\r\n") + "\r\n";
}

QList<int> listedRecords(const kuranote::ReportListModel& rows)
{
    QList<int> records;
    for (int row = 0; row < rows.rowCount(); ++row)
        records << rows.record(row);
    return records;
}

void setTicked(kuranote::ChecklistDocument& document, int record, bool ticked)
{
    kuranote::ReportListModel& rows = document.list();
    for (int row = 0; row < rows.rowCount(); ++row) {
        if (rows.record(row) == record) {
            if (rows.isChecked(row) != ticked)
                document.toggleRow(row);
            return;
        }
    }
    QFAIL("the record is not listed");
}

ChecklistFixture::ChecklistFixture()
{
    QVERIFY(dir.isValid());
}

ChecklistFixture::~ChecklistFixture()
{
    // Tear the windows down without the close question.
    form.reset();
}

QString ChecklistFixture::path(const QString& fileName) const
{
    return dir.filePath(fileName);
}

void ChecklistFixture::writeCatalogue(const std::vector<TestItem>& items)
{
    writeBytes(path(kuranote::DataFile::fileName), catalogueBytes(items));
}

void ChecklistFixture::writeSettings(const QByteArrayList& lines)
{
    writeBytes(path(kuranote::SettingsFile::fileName), joinLines(lines));
}

void ChecklistFixture::writeWords(const QStringList& entries)
{
    QByteArray bytes;
    for (const QString& entry : entries)
        bytes += sjis(entry) + "\r\n";
    writeBytes(path(u"kuraword.csv"_s), bytes);
}

bool ChecklistFixture::load()
{
    form = std::make_unique<kuranote::Form1>(document, kuranote::Form1Services { prompts, desktop, desktop, desktop });
    return form->Form_Load();
}
