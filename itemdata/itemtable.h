#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace kuranote {

// The catalogue: records 1 to count() in file order, record 1 being the file's header record.
// Each record has seven texts and one acquired flag per villager. Texts never change once loaded,
// so they are held compactly: the file's bytes as read (written back unchanged), and one decoded
// buffer in which each record's search text "(1)name(2)set1set2(3)char(4)etc(5)seek" lies ready
// for matching, followed by the record's sell text.
class ItemTable final
{
public:
    enum Field { Name, Set1, Set2, Char, Sell, Etc, Seek };
    static constexpr int FieldCount = 7;
    static constexpr int VillagerCount = 4;

    ItemTable() = default;
    // The table keeps these bytes; appendRecord() takes views into them.
    explicit ItemTable(QByteArray fileBytes);

    int count() const { return int(m_records.size()); }
    QByteArrayView storedBytesOfFile() const { return m_fileBytes; }

    QStringView text(int record, Field field) const;
    QByteArrayView storedBytes(int record, Field field) const;
    QStringView searchText(int record) const;

    quint8 flag(int record, int villager) const { return at(record).flags[villager - 1]; }
    void setFlag(int record, int villager, quint8 value) { at(record).flags[villager - 1] = value; }

    // Builds the table while a file is read. The views must lie inside the bytes given to the constructor.
    void appendRecord(
        const std::array<QByteArrayView, FieldCount>& texts, const std::array<quint8, VillagerCount>& flags);

private:
    struct Span
    {
        quint32 start;
        quint32 length;
    };
    struct Record
    {
        std::array<Span, FieldCount> bytes;
        std::array<Span, FieldCount> text;
        std::array<quint8, VillagerCount> flags;
    };

    Record& at(int record) { return m_records[size_t(record - 1)]; }
    const Record& at(int record) const { return m_records[size_t(record - 1)]; }
    char16_t* textRoom(qsizetype units);
    Span appendText(QByteArrayView bytes);
    void appendMarker(char16_t digit);

    QByteArray m_fileBytes;
    // Sized ahead to what the whole file can decode to, so that loading never copies it;
    // only the first m_textUsed units are in use.
    QString m_text;
    qsizetype m_textUsed = 0;
    std::vector<Record> m_records;
};

} // namespace kuranote
