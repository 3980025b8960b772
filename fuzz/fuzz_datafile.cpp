// Any bytes as a catalogue: the reader never crashes, and what the program writes reads back as the same table.
#include "fuzzcheck.h"

#include "itemdata/datafile.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    ItemTable table;
    if (const std::optional<FileError> failure = DataFile::parse(fuzzBytes(data, size), name, &table)) {
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
