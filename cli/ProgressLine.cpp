#include "ProgressLine.h"

#include "platform/Clock.h"

#include <algorithm>

namespace qbv::cli {

namespace {
constexpr int kBarWidth = 20;
constexpr int kPlainStep = 10;
} // namespace

ProgressLine::ProgressLine(std::ostream& stream, bool terminal, uint32_t durationMs)
    : stream_(stream), terminal_(terminal), durationMs_(durationMs == 0 ? 1 : durationMs) {}

void ProgressLine::start(const std::string& caption) {
    finish();
    caption_ = caption;
    start_ = platform::tickCount();
    running_ = true;
    shown_ = -1;
}

int ProgressLine::percent() const {
    if (!running_)
        return 0;
    const uint64_t elapsed = platform::elapsedSince(start_);
    return static_cast<int>(std::min<uint64_t>(100, elapsed * 100 / durationMs_));
}

void ProgressLine::update() {
    if (!running_)
        return;
    const int now = percent();
    const int step = terminal_ ? now : now / kPlainStep * kPlainStep;
    if (step == shown_)
        return;
    shown_ = step;
    draw(step);
}

void ProgressLine::draw(int value) {
    if (terminal_) {
        const int filled = value * kBarWidth / 100;
        stream_ << '\r' << caption_ << " [" << std::string(filled, '#')
                << std::string(kBarWidth - filled, ' ') << "] " << value << "%" << std::flush;
        lineOpen_ = true;
    } else {
        stream_ << caption_ << " " << value << "%" << std::endl;
    }
}

void ProgressLine::finish() {
    if (lineOpen_)
        stream_ << '\n' << std::flush;
    lineOpen_ = false;
}

void ProgressLine::stop() {
    finish();
    running_ = false;
}

} // namespace qbv::cli
