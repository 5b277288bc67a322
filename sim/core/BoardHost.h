#pragma once

#include "sim/core/FaultPlan.h"
#include "sim/core/Frame.h"
#include "sim/core/VirtualBoard.h"

#include <optional>

namespace qbv::sim {

// What the board answers to one link request.
struct HostAnswer {
    std::optional<Frame> reply;
    bool hangUp = false; // end this connection
};

// Everything behind the sockets: the board, the cable, the one link and the faults put into it. Clients
// are told apart by a session number of the server's choosing (never 0). Time is the caller's.
class BoardHost {
public:
    BoardHost();

    VirtualBoard& board() { return board_; }
    const VirtualBoard& board() const { return board_; }
    FaultPlan& faults() { return faults_; }
    const FaultPlan& faults() const { return faults_; }

    bool plugged() const { return plugged_; }
    // Pulling the cable ends the open link.
    void setPlugged(bool plugged);
    bool linkOpen() const { return linkOwner_ != 0; }
    int linkOwner() const { return linkOwner_; }
    uint64_t stallsCleared() const { return stallsCleared_; }
    void resetCounters();

    HostAnswer handle(int session, const Frame& request, uint64_t nowMs);
    // The session's connection is gone, whether it closed its link or vanished.
    void sessionEnded(int session);

private:
    Frame openLink(int session, const Frame& request);
    Frame write(const Frame& request, uint64_t nowMs);
    Frame writeAndCollect(const Frame& request, uint64_t nowMs);
    Frame takeWrite(uint8_t replyType, uint16_t sequence, const uint8_t* bytes, int count, uint64_t nowMs);
    Frame read(const Frame& request, uint64_t nowMs);
    uint8_t linkStatus(int session) const;
    uint8_t stallByte();

    VirtualBoard board_;
    FaultPlan faults_;
    bool plugged_ = true;
    int linkOwner_ = 0;
    uint64_t stallsCleared_ = 0;
};

} // namespace qbv::sim
