// The archive viewer's reading of a day file.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::run(zet::fuzz::checkFor(QStringLiteral("dayview")), data, size);
}
