#pragma once

#include "Output.h"
#include "PanelLink.h"
#include "board/Connection.h"
#include "board/Jtagport.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace qbv::cli {

// The board link for one run of qbv, as the panel makes it: a fresh port that loads the JTAG access
// library from the program's directory, the link opened, and the board asked whether it answers (ping,
// then read keys). Every board command goes through one, so a blank controller is reported as not
// answering rather than a command's write being taken for a success. The link is closed and the library
// freed when it goes. While a panel of the same library and board runs, it holds the link: then the
// commands go to the panel, and the link is left to it.
class BoardLink {
public:
    // waitSeconds: how long to keep trying while another program holds the link; Ctrl+C ends the wait.
    explicit BoardLink(uint32_t waitSeconds = 0) : waitSeconds_(waitSeconds) {}
    ~BoardLink();
    BoardLink(const BoardLink&) = delete;
    BoardLink& operator=(const BoardLink&) = delete;

    // Loads, opens and checks; on failure reports it in the panel's words and returns the exit code,
    // with the link already torn down. kExitSuccess when the board answered.
    // extra goes into a JSON failure.
    int connect(Reporter& reporter, const Json& extra = Json::object());

    // Waits while another program holds the link, opening it without asking the board anything, and
    // closes it again: for the programmer, which needs the link free but not the board answering. Returns
    // kExitSuccess once the link is not in use (or cannot be opened for another reason, which the check
    // after programming reports); otherwise reports as connect() does.
    int waitUntilFree(Reporter& reporter, const Json& extra = Json::object());

    // One board command over the open link (see board::SendCommand).
    bool send(int32_t command, uint8_t* data);

    // The key state read while checking that the board answers.
    uint8_t keysAtConnect() const { return keysAtConnect_; }

    // The panel the commands go to, when one answered connect().
    PanelLink* panel() { return panel_.isOpen() ? &panel_ : nullptr; }

    void close();

private:
    // How the tries to open the link ended.
    enum class Tries { Ended, Interrupted, WaitedOut };

    Tries tryWhileInUse(Console& console, const std::function<void()>& attempt);
    int linkNotOpened(Reporter& reporter, const Json& extra, Tries tries);
    int connectToBoard(Reporter& reporter, const Json& extra);
    int connectThroughPanel(Reporter& reporter, const Json& extra);
    bool sendThroughPanel(int32_t command, uint8_t* data);
    int interrupted(Reporter& reporter, const Json& extra);

    uint32_t waitSeconds_;
    std::unique_ptr<TJtagPort> port_;
    bool commandInFlight_ = false;
    uint8_t keysAtConnect_ = 0;
    PanelLink panel_;
};

// How qbv reports a panel's refusal: its words, with how long qbv waited when the wait ran out.
int panelRefused(Reporter& reporter, const session::ScriptReply& reply, const Json& fields,
                 uint32_t waitedSeconds);

} // namespace qbv::cli
