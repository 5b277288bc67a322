#pragma once

#include "tests/support/TemporaryDirectory.h"

#include <atomic>
#include <string>
#include <thread>

namespace qbv::test {

// A control socket that answers like a plugged-in, blank virtual board but refuses every design: a board
// that does not agree with the programmer about a design file the programmer found intact.
class RefusingBoard {
public:
    RefusingBoard();
    ~RefusingBoard();
    RefusingBoard(const RefusingBoard&) = delete;
    RefusingBoard& operator=(const RefusingBoard&) = delete;

    bool listening() const { return listener_ >= 0; }
    // The board name to put in QBV_VIRTUAL_BOARD: a path in a directory of its own.
    const std::string& name() const { return name_; }
    int designsRefused() const { return refused_; }

private:
    void serve();
    void answer(int client);

    TemporaryDirectory directory_;
    std::string name_;
    int listener_ = -1;
    std::atomic<int> client_{-1};
    std::atomic<int> refused_{0};
    std::thread thread_;
};

} // namespace qbv::test
