// Any bytes as a recovery file, and as the part of one that its first line vouches for: the reader never crashes,
// names a line only where there is one, and what it takes is written back in a form that reads back the same.
#include "fuzzcheck.h"

#include "itemdata/recoveryfile.h"

#include <QCryptographicHash>

using namespace kuranote;

namespace {

const QString name = RecoveryFile::fileName;

// The bytes behind a first line that vouches for them, so that the fuzzer reaches the records themselves.
QByteArray vouchedFor(const QByteArray& body)
{
    return "\"kuranote recovery\",1," + QByteArray::number(body.size()) + ",\""
        + QCryptographicHash::hash(body, QCryptographicHash::Blake2b_256).toHex() + "\"\r\n" + body;
}

void check(const QByteArray& bytes)
{
    RecoveryRecord record;
    if (const std::optional<FileError> failure = RecoveryFile::parse(bytes, name, &record)) {
        FUZZ_REQUIRE(failure->line >= 0 && failure->line <= bytes.count('\n') + bytes.count('\r') + 2
            && !failure->reason.isEmpty());
        return;
    }
    const QByteArray written = RecoveryFile::encode(record);
    RecoveryRecord reread;
    FUZZ_REQUIRE(!RecoveryFile::parse(written, name, &reread));
    FUZZ_REQUIRE(RecoveryFile::encode(reread) == written);
    FUZZ_REQUIRE(reread.flags.size() == record.flags.size() && reread.texts.size() == record.texts.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    check(bytes);
    check(vouchedFor(bytes));
    return 0;
}
