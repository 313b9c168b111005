// The day file reader (ParseDayFile and DayArchive::ReadDayFile) and its writer.
#include "fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return zet::fuzz::run(zet::fuzz::checkFor(QStringLiteral("dayfile")), data, size);
}
