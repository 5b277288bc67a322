#pragma once

#include "Output.h"
#include "board/Jtagport.h"
#include "platform/LocalChannel.h"
#include "session/ScriptProtocol.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qbv::cli {

// What one command came to, whichever way it went: done, with what the board said; refused, in the words
// of whoever holds the link; or failed, with the reason. A failure's exit code, words and fields are the
// ones qbv reports.
struct Outcome {
    int exitCode = 0;
    std::string text;
    std::string reason;
    Json fields = Json::object();
    std::optional<uint8_t> keys; // the key state the board gave, for keys and ping
    bool passes = false;         // a refusal that passes: busy, closing, connecting, the link in use
    bool gone = false;           // the panel went away before it answered
    bool done() const { return exitCode == 0; }
};

// One way to the board for one run of qbv: ping, led, pin, keys (and watch) each a request with one
// outcome.
class BoardLink {
public:
    virtual ~BoardLink() = default;
    virtual Outcome carryOut(const session::ScriptRequest& request) = 0;
    virtual bool isPanel() const { return false; }
};

// The link qbv opens itself, as the panel makes it: a fresh port that loads the JTAG access library from
// the program's directory, the link opened, and the board asked once whether it answers (ping, then read
// keys), so that a blank controller is reported as not answering rather than a write taken for a success.
// The link is closed and the library freed when it goes.
class DirectLink final : public BoardLink {
public:
    explicit DirectLink(Reporter& reporter) : reporter_(reporter) {}
    ~DirectLink() override;
    Outcome carryOut(const session::ScriptRequest& request) override;
    // The link opened and closed again without a word to the board: for the programmer, which needs the
    // link free but not the board answering.
    Outcome checkFree();

private:
    Outcome connect();
    Outcome linkNotOpened();
    void drop();

    Reporter& reporter_;
    std::unique_ptr<TJtagPort> port_;
    bool connected_ = false;
    uint8_t keysAtConnect_ = 0;
};

// A running panel of this qbv's library and board, which holds the link: every request is carried out as
// the panel's own (shown, logged, judged by its state) and answered in its words.
class PanelLink final : public BoardLink {
public:
    // True when such a panel is there, answering or with its queue full; nothing is asked yet.
    bool open();
    Outcome carryOut(const session::ScriptRequest& request) override;
    bool isPanel() const override { return true; }
    // How long the panel may stay silent before it counts as stopped; how long a job it said it started
    // may take to its reply; and what ends the wait for it early.
    void setAnswerLimit(uint32_t milliseconds) { answerMs_ = milliseconds; }
    void setJobLimit(uint32_t milliseconds) { jobMs_ = milliseconds; }
    void setInterrupted(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }
    // Called when the panel says that the job asked for has started.
    void setOnStarted(std::function<void()> started) { onStarted_ = std::move(started); }
    bool started() const { return started_; }

    // The next line of a watch of the keys: a change, or the panel's last word when the watch ended. False
    // when none came in the time (timedOut) or the panel hung up.
    bool next(session::ScriptReply& reply, uint32_t timeoutMs, bool& timedOut);

private:
    bool receiveReply(std::string& line);

    platform::LocalChannel channel_;
    bool full_ = false; // it takes no connection: stopped, or flooded
    uint32_t answerMs_ = 15000;
    uint32_t jobMs_ = 15000;
    bool started_ = false;
    std::function<bool()> interrupted_ = [] { return false; };
    std::function<void()> onStarted_ = [] {};
};

// The board for one run of qbv: through a panel of this library and board while one runs, else over qbv's
// own link. With --wait, a refusal that passes is met again (a busy or closing panel, one still connecting,
// a link in use) until the wait is over or Ctrl+C; a panel that goes away leaves the board to qbv. A board
// failure is never tried again.
class Board {
public:
    Board(uint32_t waitSeconds, Reporter& reporter) : waitSeconds_(waitSeconds), reporter_(reporter) {}

    Outcome carryOut(const session::ScriptRequest& request);
    // Any step on whichever link is there, met again as above.
    Outcome waiting(const std::function<Outcome(BoardLink&)>& attempt);
    // The panel the board is reached through, when it is; for a watch of its keys.
    PanelLink* panel();
    // How long a request may take the panel: silent, and, for a job, once it has said it started. With
    // --wait, silence is bounded by the wait as well.
    void setAnswerLimit(uint32_t milliseconds) { answerMs_ = milliseconds; }
    // Lets go of the link.
    void release() { link_.reset(); }

    // How qbv reports an outcome that is not done: its words, with the fields given.
    int report(const Outcome& outcome, const Json& fields = Json::object());

private:
    BoardLink& link();

    uint32_t waitSeconds_;
    Reporter& reporter_;
    uint32_t answerMs_ = 10000; // a command takes a panel seconds at most (its time-outs)
    uint32_t start_ = 0;        // when the run's wait began
    std::unique_ptr<BoardLink> link_;
};

// qbv's exit code for a panel's refusal.
int exitCodeOf(session::Refusal refusal);

} // namespace qbv::cli
