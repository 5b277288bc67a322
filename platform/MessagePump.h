#pragma once

#include <functional>

namespace qbv::platform {

// How the program handles its window's pending messages, for a wait that is asked to (the JTAG port's write
// and read with their pump flag set): none in a program without a window. The panel gives its toolkit's
// at start, as a test gives one of its own.
void setMessagePump(std::function<void()> pump);
void pumpMessages();

} // namespace qbv::platform
