// The numeric value of a text and its rounding to 16 bits.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::run(zet::fuzz::checkFor(QStringLiteral("textvalue")), data, size);
}
