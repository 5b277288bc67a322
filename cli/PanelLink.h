#pragma once

#include "Console.h"
#include "platform/LocalChannel.h"
#include "session/ScriptProtocol.h"

#include <cstdint>
#include <functional>

namespace qbv::cli {

// A running panel of this qbv's library and board, asked over the panel's local socket. The panel holds
// the link, so every request is carried out as the panel's own: shown, logged, and judged by its state.
class PanelLink {
public:
    // True when such a panel answers; nothing is asked yet.
    bool open();
    bool isOpen() const { return channel_.isOpen(); }
    void close() { channel_.close(); }

    // One request and its reply. False when the panel hung up or said nothing in time: it is gone.
    bool ask(const session::ScriptRequest& request, session::ScriptReply& reply);

    // How asking a panel that may be busy ended.
    enum class Asked { Answered, Gone, Interrupted, WaitedOut };
    // A busy or closing panel is asked again until it takes the request, the wait is over or the user
    // presses Ctrl+C; a panel that went away meanwhile leaves the board to qbv.
    Asked askWaiting(const session::ScriptRequest& request, session::ScriptReply& reply, uint32_t waitSeconds,
                     Console& console);

    // The next line of a watch of the keys: a change, or the panel's last word when the watch ended. False
    // when none came in the time (timedOut) or the panel hung up.
    bool next(session::ScriptReply& reply, uint32_t timeoutMs, bool& timedOut);

private:
    // The reply, looked for in slices so that Ctrl+C is noticed while a long request (a job) runs.
    Asked exchange(const session::ScriptRequest& request, session::ScriptReply& reply,
                   const std::function<bool()>& interrupted);

    platform::LocalChannel channel_;
};

// qbv's exit code for a panel's refusal.
int exitCodeOf(session::Refusal refusal);

} // namespace qbv::cli
