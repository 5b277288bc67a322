#pragma once

#include "common/LineBuffer.h"
#include "sim/core/BoardState.h"
#include "sim/core/FaultPlan.h"
#include "sim/core/SocketIo.h"
#include "sim/core/SocketPath.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qbv::sim {

// A client of the virtual board's control socket, for tests, demos and qbv-board-ctl. Every operation
// is one request and its reply, and returns false when the board refused it or could not be reached;
// lastReply() then holds the board's words (or why it could not be asked).
class BoardControl {
public:
    static constexpr int kDefaultTimeoutMs = 5000;

    // The board of that name (see SocketPath.h); connects on the first request.
    explicit BoardControl(std::string boardName = boardNameFromEnvironment());

    bool connect();
    bool isConnected() const { return socket_.isConnected(); }

    bool press(int key);
    bool release(int key);
    bool setKeys(uint8_t mask);
    bool plug();
    bool unplug();
    bool erase();
    // The content of a design file; a damaged one is refused.
    bool program(const std::string& designFileContent);
    bool programFile(const std::string& path);
    // count operations, or FaultPlan::kUntilCleared. A delay fault wants delayReplies().
    bool injectFault(Fault fault, int count = FaultPlan::kUntilCleared);
    bool delayReplies(uint32_t delayMs, int count = FaultPlan::kUntilCleared);
    bool clearFaults();
    bool resetCounters();
    bool state(BoardState& state);
    bool quit();

    // Sends one request line as it stands; true when the reply starts with "ok".
    bool request(const std::string& line);
    const std::string& lastReply() const { return lastReply_; }
    // The reply's words after "ok ".
    std::string replyDetails() const;
    // Why a request failed: the reply's words after "error ".
    std::string errorDetails() const;

    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }

private:
    bool receiveLine(std::string& line, Deadline deadline);

    std::string name_;
    LocalSocket socket_;
    LineBuffer received_; // beyond the last reply line
    std::string lastReply_;
    int timeoutMs_ = kDefaultTimeoutMs;
};

} // namespace qbv::sim
