#include "widgets/TTimer.h"

#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
// How early the event loop is asked to wake, and the longest the timer then waits by itself.
constexpr auto kEarly = std::chrono::milliseconds(1);

} // namespace

TTimer::TTimer(QObject* parent, int interval) : QObject(parent), interval_(interval) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TTimer::fire);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    restart();
}

void TTimer::SetInterval(int interval) {
    if (interval == interval_)
        return;
    interval_ = interval;
    restart();
}

void TTimer::restart() {
    timer_.stop();
    if (!enabled_ || interval_ <= 0)
        return;
    due_ = Clock::now() + std::chrono::milliseconds(interval_);
    arm();
}

void TTimer::arm() {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due_ - Clock::now() - kEarly);
    timer_.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
}

void TTimer::fire() {
    // Less than the early millisecond (and a wake-up's slack) is waited out here; more means the loop woke
    // far too early, and is asked again.
    const auto left = due_ - Clock::now();
    if (left > 2 * kEarly)
        return arm();
    if (left > Clock::duration::zero())
        std::this_thread::sleep_for(left);
    // The next tick keeps the rhythm from this one's due time, not from when the handler ends.
    due_ += std::chrono::milliseconds(interval_);
    if (due_ < Clock::now())
        due_ = Clock::now() + std::chrono::milliseconds(interval_);
    arm();
    emit timer(this);
}
