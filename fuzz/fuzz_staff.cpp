// The staff list reader (CSV in its encodings and separators, .xlsx).
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::run(zet::fuzz::checkFor(QStringLiteral("staff")), data, size);
}
