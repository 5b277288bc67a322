#pragma once

#include <QtGlobal>
#include <memory>

struct xcb_connection_t;

namespace qbv::bench {

// Watches the X display for top-level windows being mapped, so that a program's start-up can be timed from
// outside as the user sees it: from its start until its window is on the screen.
class WindowMaps {
public:
    WindowMaps();
    ~WindowMaps();
    WindowMaps(const WindowMaps&) = delete;
    WindowMaps& operator=(const WindowMaps&) = delete;

    // False when there is no X display to watch (DISPLAY unset or not answering).
    bool ready() const { return connection_ != nullptr; }

    // Waits until a top-level window of the process is mapped; false when none is within the time-out.
    bool waitForWindowOf(qint64 pid, int timeoutMs);

private:
    qint64 ownerOf(uint32_t window);

    xcb_connection_t* connection_ = nullptr;
    uint32_t pidAtom_ = 0;
};

} // namespace qbv::bench
