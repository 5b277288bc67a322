#include "Clock.h"

#include <windows.h>

namespace qbv::platform {

namespace {

class WindowsClock final : public Clock {
public:
    uint32_t tickCount() override { return static_cast<uint32_t>(GetTickCount()); }
    void sleep(uint32_t milliseconds) override { Sleep(milliseconds); }
};

} // namespace

Clock& systemClock() {
    static WindowsClock instance;
    return instance;
}

} // namespace qbv::platform
