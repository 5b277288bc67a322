#include "BoardLink.h"
#include "Commands.h"
#include "board/BoardProtocol.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"

namespace qbv::cli {

namespace {

Json ledFields(uint8_t mask) {
    Json lit = Json::array();
    for (int led = 0; led < qbv::kLedCount; ++led)
        if (mask & board::ledBit(led))
            lit.push_back(led);
    return {{"mask", mask}, {"on", lit}};
}

std::string ledWords(uint8_t mask) {
    std::string words = formatText("%s: mask 0x%02X, LEDs on:", text::kUpdateLedSuccess, mask);
    for (int led = 0; led < qbv::kLedCount; ++led)
        if (mask & board::ledBit(led))
            words += " " + std::to_string(led);
    return mask == 0 ? words + " none" : words;
}

} // namespace

int runLed(const Invocation& call, Reporter& reporter) {
    Board board(call.waitSeconds, reporter);
    const Outcome outcome = board.carryOut([&call](BoardLink& link) { return link.setLeds(call.ledMask); });
    if (!outcome.done())
        return board.report(outcome, outcome.exitCode == kExitCommandFailed ? ledFields(call.ledMask)
                                                                            : Json::object());
    reporter.result(ledWords(call.ledMask), ledFields(call.ledMask));
    return kExitSuccess;
}

} // namespace qbv::cli
