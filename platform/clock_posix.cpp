#include "Clock.h"

#include <cerrno>
#include <ctime>

namespace qbv::platform {

namespace {

class PosixClock final : public Clock {
public:
    uint32_t tickCount() override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const uint64_t ms =
            static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms); // wraps every 49.7 days, as the Windows tick does
    }

    void sleep(uint32_t milliseconds) override {
        timespec remaining{static_cast<time_t>(milliseconds / 1000u),
                           static_cast<long>(milliseconds % 1000u) * 1000000L};
        // A signal cuts a sleep short: sleep on for what is left of it.
        while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

Clock& systemClock() {
    static PosixClock instance;
    return instance;
}

} // namespace qbv::platform
