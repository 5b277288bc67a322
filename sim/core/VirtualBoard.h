#pragma once

#include "common/Board.h"

#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace qbv::sim {

// What becomes of one reply the controller is about to send.
struct ReplyFate {
    bool dropped = false;
    uint64_t delayMs = 0;
};

// The board as the panel sees it through the controller design: eight LEDs, 88 pins, four keys and a byte
// channel to the PC. The controller takes bytes into a bounded receive buffer and works through them at
// once; it stops at a read-keys command while its bounded send buffer is full, and the receive buffer
// then fills, so a PC that never reads is eventually refused bytes. Time is the caller's, in milliseconds.
class VirtualBoard {
public:
    static constexpr int kReceiveCapacity = 64;
    static constexpr int kSendCapacity = 64;

    using ReplyGate = std::function<ReplyFate()>;

    bool programmed() const { return programmed_; }
    // A freshly configured controller: all LEDs off, all pins inactive, empty buffers.
    void program();
    // A blank controller: drives nothing, takes and sends nothing.
    void erase();

    // Takes what fits of the bytes and returns how many it took; a blank controller takes none.
    int accept(const uint8_t* bytes, int count, uint64_t nowMs);
    // Hands out up to room bytes that are ready by now.
    int take(uint8_t* space, int room, uint64_t nowMs);
    // A new link: a command cut short and replies nobody collected belong to the previous one.
    void resetChannel();

    void setKey(int key, bool pressed);
    void setKeys(uint8_t state) { keys_ = state & 0x0F; }
    uint8_t keys() const { return keys_; }

    uint8_t ledMask() const { return ledMask_; }
    // The LED at a place in the row, 0 the leftmost (LED8).
    bool ledLit(int place) const;
    bool pinActive(int pin) const;
    std::vector<int> activePins() const;

    uint64_t bytesReceived() const { return bytesReceived_; }
    uint64_t bytesSent() const { return bytesSent_; }
    void resetCounters();
    int receiveBuffered() const { return static_cast<int>(receive_.size()); }
    int sendBuffered() const { return static_cast<int>(send_.size()); }

    // Asked once for every reply; by default every reply goes out at once.
    void setReplyGate(ReplyGate gate) { gate_ = std::move(gate); }

private:
    struct PendingByte {
        uint8_t value;
        uint64_t readyAtMs;
    };

    void clearOutputs();
    void process(uint64_t nowMs);
    // False when the command at the front cannot run yet.
    bool runFrontCommand(uint64_t nowMs);
    bool reply(uint8_t value, uint64_t nowMs);

    bool programmed_ = true;
    uint8_t ledMask_ = 0;
    std::bitset<kPinCount> pins_;
    uint8_t keys_ = 0;
    std::deque<uint8_t> receive_;
    std::deque<PendingByte> send_;
    uint64_t bytesReceived_ = 0;
    uint64_t bytesSent_ = 0;
    ReplyGate gate_;
};

} // namespace qbv::sim
