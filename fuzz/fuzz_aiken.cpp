// The Aiken question bank reader and the import of what it read.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::run(zet::fuzz::checkFor(QStringLiteral("aiken")), data, size);
}
