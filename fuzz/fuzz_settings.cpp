// The settings file reader and writer.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::Run(zet::fuzz::CheckFor(QStringLiteral("settings")), data, size);
}
