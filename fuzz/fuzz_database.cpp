// The database file reader: load, then save and load again.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::Run(zet::fuzz::CheckFor(QStringLiteral("database")), data, size);
}
