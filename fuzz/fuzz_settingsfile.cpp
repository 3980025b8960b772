// Any bytes as a settings file: the reader never crashes, and what the program writes reads back the same.
#include "fuzzcheck.h"

#include "itemdata/settingsfile.h"

using namespace kuranote;

namespace {

const QString name = QStringLiteral("kurasize.dat");

bool anyTextHoldsAQuote(const Settings& settings)
{
    if (settings.townname.bytes().contains('"'))
        return true;
    for (int villager = 1; villager <= villagerCount; ++villager) {
        if (settings.villagername[villager].bytes().contains('"') || settings.namecolor[villager].bytes().contains('"')
            || settings.bgcolor[villager].bytes().contains('"'))
            return true;
    }
    return false;
}

QByteArray writeAndReadBack(const Settings& settings, Settings* reread)
{
    const QByteArray written = SettingsFile::encode(settings);
    FUZZ_REQUIRE(!SettingsFile::parse(written, name, reread));
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    Settings settings;
    if (const std::optional<FileError> failure = SettingsFile::parse(fuzzBytes(data, size), name, &settings)) {
        FUZZ_REQUIRE(failure->line >= 0 && !failure->reason.isEmpty());
        return 0;
    }
    Settings first;
    const QByteArray firstWritten = writeAndReadBack(settings, &first);
    Settings second;
    const QByteArray secondWritten = writeAndReadBack(first, &second);
    // Sizes may be rounded by the first save (single precision, six decimals); after that nothing moves.
    if (!anyTextHoldsAQuote(settings))
        FUZZ_REQUIRE(secondWritten == firstWritten);
    Settings third;
    FUZZ_REQUIRE(writeAndReadBack(second, &third) == secondWritten);
    return 0;
}
