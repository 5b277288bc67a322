#include "BoardLink.h"
#include "Commands.h"
#include "common/Board.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"

#include <string>
#include <vector>

namespace qbv::cli {

namespace {

// The LEDs the mask lights, by their printed names, from the left.
std::vector<std::string> litLeds(uint8_t mask) {
    std::vector<std::string> lit;
    for (int led = qbv::kLedCount; led >= 1; --led)
        if (mask & qbv::ledBit(led))
            lit.push_back(qbv::ledLabel(led));
    return lit;
}

Json ledFields(uint8_t mask) {
    return {{"mask", mask}, {"on", litLeds(mask)}};
}

std::string ledWords(uint8_t mask) {
    std::string words = formatText("%s: mask 0x%02X, LEDs on:", text::kUpdateLedSuccess, mask);
    for (const std::string& led : litLeds(mask))
        words += " " + led;
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
