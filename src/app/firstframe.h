#pragma once

// What a program started for timing writes when its first frame is over: "first frame" and
// the time in nanoseconds on the monotonic clock, which all processes of the computer share,
// so that whoever started it can tell the first frame apart from the end of the process.

#include <cstdio>
#include <ctime>

namespace zet {

inline void tellFirstFrame() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("first frame %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
}

} // namespace zet
