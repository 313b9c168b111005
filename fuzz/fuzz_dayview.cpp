// The archive viewer's reading of a day file, in memory.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::runInMemory(zet::fuzz::checkFor(QStringLiteral("dayview")), data, size);
}
