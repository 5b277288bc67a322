#include "sim/core/VirtualBoard.h"

#include "board/BoardProtocol.h"

#include <algorithm>

namespace qbv::sim {

void VirtualBoard::clearOutputs() {
    ledMask_ = 0;
    pins_.reset();
    resetChannel();
}

void VirtualBoard::program() {
    programmed_ = true;
    clearOutputs();
}

void VirtualBoard::erase() {
    programmed_ = false;
    clearOutputs();
}

void VirtualBoard::resetChannel() {
    receive_.clear();
    send_.clear();
}

int VirtualBoard::accept(const uint8_t* bytes, int count, uint64_t nowMs) {
    if (!programmed_ || bytes == nullptr || count <= 0)
        return 0;
    const int taken = std::min(count, kReceiveCapacity - static_cast<int>(receive_.size()));
    receive_.insert(receive_.end(), bytes, bytes + taken);
    bytesReceived_ += static_cast<uint64_t>(taken);
    process(nowMs);
    return taken;
}

int VirtualBoard::take(uint8_t* space, int room, uint64_t nowMs) {
    if (!programmed_ || space == nullptr)
        return 0;
    int given = 0;
    while (given < room && !send_.empty() && send_.front().readyAtMs <= nowMs) {
        space[given++] = send_.front().value;
        send_.pop_front();
    }
    bytesSent_ += static_cast<uint64_t>(given);
    // Room in the send buffer may let a waiting read-keys command run.
    if (given > 0)
        process(nowMs);
    return given;
}

void VirtualBoard::process(uint64_t nowMs) {
    while (!receive_.empty() && runFrontCommand(nowMs)) {
    }
}

bool VirtualBoard::runFrontCommand(uint64_t nowMs) {
    const uint8_t command = receive_.front();
    switch (command) {
    case board::kPing:
        break;
    case board::kSetLeds:
    case board::kSetGpioPin: {
        if (receive_.size() < 2)
            return false;
        const uint8_t data = receive_[1];
        receive_.pop_front();
        if (command == board::kSetLeds)
            ledMask_ = data;
        else if (board::pinOf(data) < kPinCount)
            pins_.set(board::pinOf(data), board::pinActive(data));
        break;
    }
    case board::kReadKeys:
        if (!reply(keys_, nowMs))
            return false;
        break;
    default:
        break; // not a command: dropped
    }
    receive_.pop_front();
    return true;
}

bool VirtualBoard::reply(uint8_t value, uint64_t nowMs) {
    if (static_cast<int>(send_.size()) >= kSendCapacity)
        return false;
    const ReplyFate fate = gate_ ? gate_() : ReplyFate{};
    if (!fate.dropped)
        send_.push_back({value, nowMs + fate.delayMs});
    return true;
}

void VirtualBoard::setKey(int key, bool pressed) {
    if (key < 0 || key >= kKeyCount)
        return;
    const uint8_t bit = static_cast<uint8_t>(1u << key);
    keys_ = pressed ? (keys_ | bit) : (keys_ & ~bit);
}

bool VirtualBoard::ledLit(int place) const {
    return place >= 0 && place < kLedCount && (ledMask_ & ledBit(ledAt(place))) != 0;
}

bool VirtualBoard::pinActive(int pin) const {
    return pin >= 0 && pin < kPinCount && pins_.test(pin);
}

std::vector<int> VirtualBoard::activePins() const {
    std::vector<int> pins;
    for (int pin = 0; pin < kPinCount; ++pin)
        if (pins_.test(pin))
            pins.push_back(pin);
    return pins;
}

void VirtualBoard::resetCounters() {
    bytesReceived_ = 0;
    bytesSent_ = 0;
}

} // namespace qbv::sim
