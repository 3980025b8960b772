// Any bytes as the previous version's file: read into marks or refused with the line at fault, never a crash.
#include "fuzzcheck.h"

#include "itemdata/oldfile.h"

using namespace kuranote;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    QList<OldMark> marks;
    if (const std::optional<FileError> failure
        = OldFile::parse(QByteArrayView(data, qsizetype(size)), QStringLiteral("kuradata.csv"), &marks)) {
        FUZZ_REQUIRE(failure->line >= 1 && !failure->reason.isEmpty());
        return 0;
    }
    // One mark for each line after the header, in file order, names without double quotes.
    int previousLine = 1;
    for (const OldMark& mark : marks) {
        FUZZ_REQUIRE(mark.line > previousLine);
        FUZZ_REQUIRE(!mark.name.contains(u'"'));
        previousLine = mark.line;
    }
    return 0;
}
