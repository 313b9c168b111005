// The day file reader (parseDayFile) and writer (formatDayFile), in memory.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::runInMemory(zet::fuzz::checkFor(QStringLiteral("dayfile")), data, size);
}
