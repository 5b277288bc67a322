#include "BoardLink.h"
#include "Commands.h"
#include "Timestamp.h"
#include "board/BoardProtocol.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "platform/Clock.h"

namespace qbv::cli {

namespace {

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

// The state at the start and every change after it, until Ctrl+C or a failure ends the watch.
int watchKeys(Board& board, uint8_t shown, Reporter& reporter) {
    const uint32_t start = platform::tickCount();
    reportChange(reporter, shown, start);
    for (;;) {
        const Outcome next = board.nextKeys();
        if (next.exitCode == kExitInterrupted)
            return kExitSuccess; // the link closes with the board
        if (!next.done())
            return board.report(next);
        if (next.keys && (*next.keys & kKeyBits) != (shown & kKeyBits))
            reportChange(reporter, *next.keys, start);
        shown = next.keys.value_or(shown);
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
        board.carryOut([&call](BoardLink& link) { return call.watch ? link.watchKeys() : link.readKeys(); });
    if (!read.done())
        return board.report(read);
    const uint8_t keyState = read.keys.value_or(0);
    if (call.watch)
        return watchKeys(board, keyState, reporter);
    reporter.result(stateWords(keyState), stateJson(keyState));
    return kExitSuccess;
}

} // namespace qbv::cli
