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

// What one operation came to, whichever link carried it out: done, with what the board said; refused, in
// the words of whoever holds the link; or failed, with the reason. A failure's exit code, words and fields
// are the ones qbv reports.
struct Outcome {
    int exitCode = 0;
    std::string text;
    std::string reason;
    Json fields = Json::object();
    std::optional<uint8_t> keys;   // the key state the board gave, for keys and ping
    bool passes = false;           // a refusal that passes: busy, closing, connecting, the link in use
    bool gone = false;             // the panel went away before it answered
    bool reported = false;         // said as it happened: Ctrl+C while qbv's own programmer ran
    uint32_t leastWaitSeconds = 0; // programmed, the board not asked since: how long its next request at
                                   // least waits (for a panel that ends after its job)
    bool done() const { return exitCode == 0; }
};

// A refusal as qbv reports it: its exit code, and whether it passes, as the table of refusals says; in the
// words given, the table's, or the panel's reply with the keys it gave.
Outcome outcomeOf(session::Refusal refusal, std::string text, std::string reason = {});
Outcome outcomeOf(session::Refusal refusal);
Outcome outcomeOf(const session::ScriptReply& reply);

// One way to the board for one run of qbv: every command an operation with one outcome.
class BoardLink {
public:
    virtual ~BoardLink() = default;
    // Ping and the key reads give the key state.
    Outcome ping() { return ask({session::ScriptVerb::Ping}); }
    Outcome setLeds(uint8_t mask) { return ask({session::ScriptVerb::Led, mask}); }
    Outcome setPin(int pin, bool on) { return ask({session::ScriptVerb::Pin, 0, pin, on}); }
    Outcome readKeys() { return ask({session::ScriptVerb::Keys}); }
    // A watch of the keys: its first state, then each next one (without keys when nothing came meanwhile),
    // until a failure ends it or Ctrl+C does (exit 130).
    Outcome watchKeys() { return ask({session::ScriptVerb::Watch}); }
    virtual Outcome nextKeys() = 0;
    // The MAX II programmed, by a programmer given timeoutMs where qbv runs it. Done with the keys when the
    // board was asked afterwards, without them when it is still to be asked.
    virtual Outcome program(uint32_t timeoutMs) = 0;
    // Why a refusal that passes still held when a wait of so many seconds was over.
    virtual std::string stillRefused(uint32_t waitedSeconds) const = 0;

protected:
    // Every operation but programming is put as a script puts it to a panel; each link carries it out its
    // own way.
    virtual Outcome ask(const session::ScriptRequest& request) = 0;
};

// The link qbv opens itself, as the panel makes it: a fresh port that loads the JTAG access library from
// the program's directory, the link opened, and the board asked once whether it answers (ping, then read
// keys), so that a blank controller is reported as not answering rather than a write taken for a success.
// The link is closed and the library freed when it goes. It programs with qbv's own job; when the run waits
// for a link in use (--wait), only once no other program holds the link.
class DirectLink final : public BoardLink {
public:
    DirectLink(Reporter& reporter, bool waits) : reporter_(reporter), waits_(waits) {}
    ~DirectLink() override;
    Outcome nextKeys() override;
    Outcome program(uint32_t timeoutMs) override;
    std::string stillRefused(uint32_t waitedSeconds) const override;

private:
    Outcome ask(const session::ScriptRequest& request) override;
    Outcome connect();
    Outcome linkNotOpened();
    Outcome checkFree();
    void drop();

    Reporter& reporter_;
    bool waits_;
    std::unique_ptr<TJtagPort> port_;
    bool connected_ = false;
    uint8_t keysAtConnect_ = 0;
};

// A running panel of this qbv's library and board, which holds the link: every request is carried out as
// the panel's own (shown, logged, judged by its state) and answered in its words; it programs with its own
// job, and a watch hears the changes its own polls find.
class PanelLink final : public BoardLink {
public:
    explicit PanelLink(Reporter& reporter) : reporter_(reporter) {}
    // True when such a panel is there, answering or with its queue full; nothing is asked yet.
    bool open();
    Outcome nextKeys() override;
    Outcome program(uint32_t timeoutMs) override;
    std::string stillRefused(uint32_t waitedSeconds) const override;
    // How long the panel may stay silent before it counts as stopped; how long a job it said it started
    // may take to its reply; and what ends the wait for it early.
    void setAnswerLimit(uint32_t milliseconds) { answerMs_ = milliseconds; }
    void setJobLimit(uint32_t milliseconds) { jobMs_ = milliseconds; }
    void setInterrupted(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }

private:
    Outcome ask(const session::ScriptRequest& request) override;
    bool receiveReply(std::string& line);

    Reporter& reporter_;
    platform::LocalChannel channel_;
    bool full_ = false; // it takes no connection: stopped, or flooded
    uint32_t answerMs_ = 15000;
    uint32_t jobMs_ = 15000;
    bool started_ = false; // the panel said that the job asked for has started
    std::function<bool()> interrupted_ = [] { return false; };
};

// The board for one run of qbv: through a panel of this library and board while one runs, else over qbv's
// own link. With --wait, a refusal that passes is met again (a busy or closing panel, one still connecting,
// a link in use) until the wait is over or Ctrl+C; a panel that goes away leaves the board to qbv. A board
// failure is never tried again.
class Board {
public:
    Board(uint32_t waitSeconds, Reporter& reporter) : waitSeconds_(waitSeconds), reporter_(reporter) {}

    // An operation on whichever link is there, met again as above.
    Outcome carryOut(const std::function<Outcome(BoardLink&)>& operation);
    // The next state of the watch that the link started; never met again.
    Outcome nextKeys() { return link().nextKeys(); }
    // How long a request may take the panel: silent, and, for a job, once it has said it started. With
    // --wait, silence is bounded by the wait as well.
    void setAnswerLimit(uint32_t milliseconds) { answerMs_ = milliseconds; }

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

} // namespace qbv::cli
