#pragma once

#include "sizes/checklistsizes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace kuranote {

// The catalogue: records 1 to count() in file order, record 1 being the file's header record.
// Each record has seven texts and one acquired flag per villager. Texts never change once loaded,
// so they are held compactly: decoded once into one buffer in which each record's search text
// "(1)name(2)set1set2(3)char(4)etc(5)seek" lies ready for matching, followed by the record's sell
// text. The bytes the texts were read as are given back by encoding them again; only a record
// whose bytes would not come back that way keeps them (see Cp932::Decoded).
class ItemTable final
{
public:
    enum Field { Name, Set1, Set2, Char, Sell, Etc, Seek };
    static constexpr int FieldCount = 7;
    static constexpr int VillagerCount = villagerCount;

    ItemTable() = default;
    // fileSize: the bytes of the file to be read, so that the texts' buffer is sized once.
    explicit ItemTable(qsizetype fileSize);

    int count() const { return int(m_records.size()); }

    QStringView text(int record, Field field) const;
    // All seven texts, indexed by Field.
    std::array<QStringView, FieldCount> texts(int record) const;
    QStringView searchText(int record) const;
    // Whether the record's texts are written back by encoding them; otherwise keptBytes() holds them.
    bool encodesBack(int record) const { return !(at(record).kind & KeepsBytes); }
    QByteArrayView keptBytes(int record, Field field) const;
    // The bytes a text was read as, either way.
    QByteArray storedBytes(int record, Field field) const;

    quint8 flag(int record, int villager) const { return at(record).flags[villager - 1]; }
    void setFlag(int record, int villager, quint8 value) { at(record).flags[villager - 1] = value; }

    // Adds a record read from a file; false, and nothing added, when the texts' buffer is full (4 Gi units).
    bool appendRecord(
        const std::array<QByteArrayView, FieldCount>& texts, const std::array<quint8, VillagerCount>& flags);
    // Gives back what was reserved ahead and not used, once the last record is in.
    void squeeze();

private:
    enum Kind : quint8 { KeepsBytes = 1, HasLongTexts = 2 };
    using Lengths = std::array<quint32, FieldCount>;
    // 16 bytes a record; the lengths of texts of 255 units or more are kept beside, in m_longLengths.
    struct Record
    {
        quint32 text; // where the record's search text starts in m_text
        std::array<quint8, FieldCount> lengths;
        std::array<quint8, VillagerCount> flags;
        quint8 kind;
    };
    struct LongLengths
    {
        int record;
        Lengths lengths;
    };
    struct KeptBytes
    {
        int record;
        quint32 start; // in m_keptBytes, where the record's texts lie one after another in field order
        Lengths lengths;
    };

    Record& at(int record) { return m_records[record - 1]; }
    const Record& at(int record) const { return m_records[record - 1]; }
    Lengths lengths(int record) const;
    char16_t* textRoom(qsizetype units);

    QString m_text;
    qsizetype m_textUsed = 0;
    // Grown in place by the allocator, never copied, however many records a file holds.
    QList<Record> m_records;
    // Both in record order.
    std::vector<LongLengths> m_longLengths;
    std::vector<KeptBytes> m_kept;
    QByteArray m_keptBytes;
};

} // namespace kuranote
