#pragma once

#include <ctime>

namespace qbv::bench {

// CPU time this process has used so far, in seconds, all threads together.
inline double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace qbv::bench
