#pragma once

#include "platform/Clock.h"

#include <vector>

namespace qbv::test {

// A clock that moves only when told to or when slept on, installed for as long as it lives.
class FakeClock final : public platform::Clock {
public:
    explicit FakeClock(uint32_t start = 0) : now_(start) { platform::setClock(this); }
    ~FakeClock() override { platform::setClock(nullptr); }

    uint32_t tickCount() override { return now_; }
    void sleep(uint32_t milliseconds) override {
        sleeps_.push_back(milliseconds);
        now_ += milliseconds;
    }

    void advance(uint32_t milliseconds) { now_ += milliseconds; }
    void set(uint32_t now) { now_ = now; }
    const std::vector<uint32_t>& sleeps() const { return sleeps_; }

    // For the fake library's per-call delays.
    static void advanceBy(uint32_t milliseconds, void* clock) {
        static_cast<FakeClock*>(clock)->advance(milliseconds);
    }

private:
    uint32_t now_;
    std::vector<uint32_t> sleeps_;
};

} // namespace qbv::test
