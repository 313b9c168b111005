// The settings file reader and writer.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::run(zet::fuzz::checkFor(QStringLiteral("settings")), data, size);
}
