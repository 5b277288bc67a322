#pragma once

#include "common/Colours.h"
#include "common/Messages.h"
#include "session/Gate.h"

#include <cstdint>
#include <string>

namespace qbv::session {

// What a front end does for the session: draws its state, shows what it says, asks the user, and keeps
// handling input while the session waits.
class SessionView {
public:
    virtual ~SessionView() = default;

    virtual void stateChanged(State state) = 0;
    virtual void showStatus(const std::string& text, colour::Colour colour) = 0;
    // A modal box with one OK button, with why beneath its text when there is a reason; and one with Yes
    // and No, true for Yes.
    virtual void showBox(MessageKind kind, const std::string& text, const std::string& detail = {}) = 0;
    virtual bool askYesNo(MessageKind kind, const std::string& text) = 0;
    // Returns after at least the time, handling input meanwhile; one pass over the pending input.
    virtual void waitPumping(uint32_t milliseconds) = 0;
    virtual void pumpMessages() = 0;
    // The progress bar measures time: a run of this many milliseconds starts, or the run ends.
    virtual void startProgressRun(uint32_t durationMs) = 0;
    virtual void endProgressRun() = 0;
    // Every LED and pin shown up and the keys released, as a new connection starts.
    virtual void releaseControls() = 0;
    virtual void keysRead(uint8_t keys) = 0;
    // The board took an LED (command 1) or pin (command 5) command: whoever sent it, the controls show it.
    virtual void commandTaken(int32_t command, uint8_t data) = 0;
    // The programming job to start once the current handler has returned (message 1026).
    virtual void postProgramming() = 0;
    virtual void log(const std::string& line) = 0;
};

} // namespace qbv::session
