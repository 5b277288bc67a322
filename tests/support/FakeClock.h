#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <vector>

namespace qbv::test {

// A clock that moves only when told to or when slept on, installed for as long as it lives; or, for a
// window whose timers run in real time, that also moves as real time passes.
class FakeClock final : public platform::Clock {
public:
    enum class Pace { Still, RealTime };
    explicit FakeClock(uint32_t start = 0, Pace pace = Pace::Still)
        : now_(start), realStart_(std::chrono::steady_clock::now()), pace_(pace) {
        platform::setClock(this);
    }
    ~FakeClock() override { platform::setClock(nullptr); }

    uint32_t tickCount() override { return now_ + realElapsed(); }
    void sleep(uint32_t milliseconds) override {
        sleeps_.push_back(milliseconds);
        now_ += milliseconds;
    }

    void advance(uint32_t milliseconds) { now_ += milliseconds; }
    void set(uint32_t now) { now_ = now - realElapsed(); }
    // From now on the clock moves only when told to or slept on.
    void stop() {
        now_ += realElapsed();
        pace_ = Pace::Still;
    }
    const std::vector<uint32_t>& sleeps() const { return sleeps_; }

    // For the fake library's per-call delays.
    static void advanceBy(uint32_t milliseconds, void* clock) {
        static_cast<FakeClock*>(clock)->advance(milliseconds);
    }

private:
    uint32_t realElapsed() const {
        if (pace_ == Pace::Still)
            return 0;
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - realStart_)
                                         .count());
    }

    uint32_t now_;
    std::chrono::steady_clock::time_point realStart_;
    Pace pace_;
    std::vector<uint32_t> sleeps_;
};

} // namespace qbv::test
