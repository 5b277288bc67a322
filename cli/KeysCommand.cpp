#include "BoardLink.h"
#include "Commands.h"
#include "Timestamp.h"
#include "board/BoardProtocol.h"
#include "common/ExitCode.h"
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
int watchThroughPanel(PanelLink& panel, Board& board, uint8_t shown, Reporter& reporter) {
    const uint32_t start = platform::tickCount();
    reportChange(reporter, shown, start);
    for (;;) {
        bool timedOut = false;
        if (reporter.console().interrupted())
            return kExitSuccess;
        session::ScriptReply reply;
        if (!panel.next(reply, kPollIntervalMs * 5, timedOut)) {
            if (timedOut)
                continue;
            return reporter.failure(kExitCommandFailed, text::kLostConnection);
        }
        if (reply.refusal != session::Refusal::None) {
            Outcome ended;
            ended.exitCode = exitCodeOf(reply.refusal);
            ended.text = reply.text;
            ended.reason = reply.reason;
            return board.report(ended);
        }
        if (reply.keys && (*reply.keys & kKeyBits) != (shown & kKeyBits))
            reportChange(reporter, *reply.keys, start);
        shown = reply.keys.value_or(shown);
    }
}

// Over qbv's own link: a read 20 ms after the end of the last, as the panel polls.
int watchKeys(Board& board, uint8_t shown, Reporter& reporter) {
    if (PanelLink* panel = board.panel())
        return watchThroughPanel(*panel, board, shown, reporter);
    const uint32_t start = platform::tickCount();
    reportChange(reporter, shown, start);
    Console& console = reporter.console();
    for (;;) {
        platform::sleep(kPollIntervalMs);
        if (console.interrupted())
            return kExitSuccess; // the link closes with the board
        const Outcome read = board.carryOut({session::ScriptVerb::Keys});
        if (!read.done())
            return board.report(read);
        const uint8_t keyState = read.keys.value_or(0);
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
    Board board(call.waitSeconds, reporter);
    const Outcome read =
        board.carryOut({call.watch ? session::ScriptVerb::Watch : session::ScriptVerb::Keys});
    if (!read.done())
        return board.report(read);
    const uint8_t keyState = read.keys.value_or(0);
    if (call.watch)
        return watchKeys(board, keyState, reporter);
    reporter.result(stateWords(keyState), stateJson(keyState));
    return kExitSuccess;
}

} // namespace qbv::cli
