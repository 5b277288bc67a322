#include "BoardLink.h"
#include "Commands.h"
#include "ExitCode.h"
#include "Timestamp.h"
#include "board/BoardProtocol.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"

namespace qbv::cli {

namespace {

// As the panel polls: the next read 20 ms after the end of the last.
constexpr uint32_t kPollIntervalMs = 20;
// Bits 4-7 of the key state mean nothing; a change there is no change.
constexpr uint8_t kKeyBits = 0x0F;

std::string stateWords(uint8_t keyState) {
    return formatText("keys 0x%02X: %s", keyState, board::pressedKeysText(keyState).c_str());
}

Json stateJson(uint8_t keyState) {
    return {{"state", keyState}, {"pressed", pressedKeysJson(keyState)}};
}

void reportChange(Reporter& reporter, uint8_t keyState, uint32_t watchStart) {
    const std::string time = timestampNow();
    reporter.result(
        time + " " + stateWords(keyState),
        merged({{"time", time}, {"elapsedMs", platform::elapsedSince(watchStart)}}, stateJson(keyState)));
}

// Through a panel: the changes its own polls find, until Ctrl+C or the panel ends the watch.
int watchThroughPanel(PanelLink& panel, Reporter& reporter) {
    const uint32_t start = platform::tickCount();
    session::ScriptReply reply;
    if (!panel.ask({session::ScriptVerb::Watch}, reply))
        return reporter.failure(kExitCommandFailed, text::kLostConnection);
    if (reply.refusal != session::Refusal::None)
        return panelRefused(reporter, reply, Json::object(), 0);
    uint8_t shown = reply.keys.value_or(0);
    reportChange(reporter, shown, start);
    for (;;) {
        bool timedOut = false;
        if (reporter.console().interrupted())
            return kExitSuccess;
        if (!panel.next(reply, kPollIntervalMs * 5, timedOut)) {
            if (timedOut)
                continue;
            return reporter.failure(kExitCommandFailed, text::kLostConnection);
        }
        if (reply.refusal != session::Refusal::None)
            return panelRefused(reporter, reply, Json::object(), 0);
        if (reply.keys && (*reply.keys & kKeyBits) != (shown & kKeyBits))
            reportChange(reporter, *reply.keys, start);
        shown = reply.keys.value_or(shown);
    }
}

int watchKeys(BoardLink& link, Reporter& reporter) {
    if (PanelLink* panel = link.panel())
        return watchThroughPanel(*panel, reporter);
    const uint32_t start = platform::tickCount();
    uint8_t shown = link.keysAtConnect();
    reportChange(reporter, shown, start);
    Console& console = reporter.console();
    for (;;) {
        platform::sleep(kPollIntervalMs);
        if (console.interrupted())
            return kExitSuccess; // the link closes with the BoardLink
        uint8_t keyState = 0;
        if (!link.send(board::kReadKeys, &keyState))
            return reporter.failure(kExitCommandFailed, text::kLostConnection);
        if ((keyState & kKeyBits) != (shown & kKeyBits))
            reportChange(reporter, keyState, start);
        shown = keyState;
    }
}

} // namespace

Json pressedKeysJson(uint8_t keyState) {
    Json pressed = Json::array();
    for (int key = 0; key < qbv::kKeyCount; ++key)
        if (board::keyPressed(keyState, key))
            pressed.push_back(keyLabel(key));
    return pressed;
}

int runKeys(const Invocation& call, Reporter& reporter) {
    BoardLink link(call.waitSeconds);
    if (const int failed = link.connect(reporter))
        return failed;
    if (call.watch)
        return watchKeys(link, reporter);
    reporter.result(stateWords(link.keysAtConnect()), stateJson(link.keysAtConnect()));
    return kExitSuccess;
}

} // namespace qbv::cli
