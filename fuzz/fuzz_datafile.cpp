// Any bytes as a catalogue: the reader never crashes, reads the same a piece at a time as in one go, and what the
// program writes reads back as the same table.
#include "fuzzcheck.h"

#include "itemdata/datafile.h"

#include <QBuffer>

using namespace kuranote;

namespace {

const QString name = QStringLiteral("kuradata_v2.csv");

// Writes the table and reads the result back, which must always succeed with the same records, texts and flags.
QByteArray writeAndReadBack(const ItemTable& table, ItemTable* reread)
{
    const QByteArray written = DataFile::encode(table);
    FUZZ_REQUIRE(!DataFile::parse(written, name, reread));
    FUZZ_REQUIRE(reread->count() == table.count());
    for (int record = 1; record <= table.count(); ++record) {
        for (int field = 0; field < ItemTable::FieldCount; ++field) {
            const auto f = ItemTable::Field(field);
            FUZZ_REQUIRE(reread->storedBytes(record, f) == table.storedBytes(record, f));
        }
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            FUZZ_REQUIRE(reread->flag(record, villager) == table.flag(record, villager));
    }
    return written;
}

bool sameTables(const ItemTable& a, const ItemTable& b)
{
    if (a.count() != b.count())
        return false;
    for (int record = 1; record <= a.count(); ++record) {
        if (a.searchText(record) != b.searchText(record))
            return false;
        for (int f = 0; f < ItemTable::FieldCount; ++f) {
            const auto field = ItemTable::Field(f);
            if (a.text(record, field) != b.text(record, field)
                || a.storedBytes(record, field) != b.storedBytes(record, field))
                return false;
        }
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager) {
            if (a.flag(record, villager) != b.flag(record, villager))
                return false;
        }
    }
    return true;
}

// The same bytes read from a device in small pieces, which records and line ends straddle.
void readInPieces(QByteArray bytes, const std::optional<FileError>& wholeFailure, const ItemTable& whole)
{
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    ItemTable table;
    const std::optional<FileError> failure = DataFile::read(&device, name, &table, 1 + bytes.size() % 17);
    FUZZ_REQUIRE(failure.has_value() == wholeFailure.has_value());
    if (failure)
        FUZZ_REQUIRE(failure->line == wholeFailure->line && failure->reason == wholeFailure->reason);
    else
        FUZZ_REQUIRE(sameTables(table, whole));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    ItemTable table;
    const std::optional<FileError> failure = DataFile::parse(fuzzBytes(data, size), name, &table);
    readInPieces(fuzzBytes(data, size), failure, table);
    if (failure) {
        FUZZ_REQUIRE(failure->line >= 0 && !failure->reason.isEmpty());
        return 0;
    }
    ItemTable first;
    const QByteArray firstWritten = writeAndReadBack(table, &first);
    // A file the program wrote is written back byte for byte.
    ItemTable second;
    FUZZ_REQUIRE(writeAndReadBack(first, &second) == firstWritten);
    return 0;
}
