#pragma once

#include <cstdint>

namespace qbv::platform {

// The 32-bit millisecond tick and the sleep that goes with it. Every elapsed-time rule of the program
// reads time through here, so that tests can put a clock of their own in its place (one that starts just
// below the wrap, or that advances by exactly what is slept).
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
};

// The operating system's clock: GetTickCount and Sleep on Windows, a monotonic clock truncated to
// 32 bits and nanosleep elsewhere.
Clock& systemClock();

// The clock in use; the system clock unless a test replaced it.
Clock& clock();
void setClock(Clock* replacement); // nullptr restores the system clock

inline uint32_t tickCount() {
    return clock().tickCount();
}
inline void sleep(uint32_t milliseconds) {
    clock().sleep(milliseconds);
}

// Milliseconds from start to now, correct across the counter's wrap.
inline uint32_t elapsedSince(uint32_t start) {
    return static_cast<uint32_t>(tickCount() - start);
}

} // namespace qbv::platform
