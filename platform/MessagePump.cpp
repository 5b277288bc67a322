#include "MessagePump.h"

#include <utility>

namespace qbv::platform {

namespace {
std::function<void()>& pump() {
    static std::function<void()> installed;
    return installed;
}
} // namespace

void setMessagePump(std::function<void()> handler) {
    pump() = std::move(handler);
}

void pumpMessages() {
    if (pump())
        pump()();
}

} // namespace qbv::platform
