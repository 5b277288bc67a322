#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace qbv::cli {

// The programming job's progress as the panel shows it: elapsed time over a fixed duration, not the
// programmer's own progress, stopping at 100 %. On a terminal one line redrawn in place with \r; to a
// file or a pipe a plain line for every tenth, so a log stays short.
class ProgressLine {
public:
    static constexpr uint32_t kDurationMs = 30000;

    ProgressLine(std::ostream& stream, bool terminal, uint32_t durationMs = kDurationMs);

    // Starts the clock; the first update draws.
    void start(const std::string& caption);
    void setCaption(const std::string& caption) { caption_ = caption; }
    // Shows the progress if it moved; cheap enough to call on every pass of a wait.
    void update();
    // Ends a redrawn line, so that the next output starts on a line of its own.
    void finish();
    // Ends the run: no more drawing until the next start.
    void stop();

    int percent() const; // of the run under way

private:
    void draw(int percent);

    std::ostream& stream_;
    bool terminal_;
    uint32_t durationMs_;
    uint32_t start_ = 0;
    std::string caption_;
    bool running_ = false;
    bool lineOpen_ = false;
    int shown_ = -1;
};

} // namespace qbv::cli
