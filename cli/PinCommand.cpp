#include "BoardLink.h"
#include "Commands.h"
#include "ExitCode.h"
#include "board/BoardProtocol.h"
#include "common/Texts.h"

namespace qbv::cli {

namespace {

JsonObject pinJson(const PinSetting& setting) {
    return JsonObject().addNumber("pin", setting.pin).addBool("on", setting.on);
}

std::string pinWords(const PinSetting& setting) {
    return std::string(text::kUpdateGpioSuccess) + ": pin " + std::to_string(setting.pin) +
           (setting.on ? " on" : " off");
}

} // namespace

int runPin(const Invocation& call, Reporter& reporter) {
    BoardLink link;
    if (const int failed = link.connect(reporter))
        return failed;
    JsonArray done;
    for (const PinSetting& setting : call.pins) {
        if (reporter.console().interrupted())
            return reporter.failure(kExitInterrupted, "interrupted", JsonObject().addArray("pins", done));
        uint8_t pinByte = board::pinByte(setting.pin, setting.on);
        if (!link.send(board::kSetGpioPin, &pinByte))
            return reporter.failure(
                kExitCommandFailed, text::kUpdateGpioFail,
                JsonObject().addArray("pins", done).addObject("failed", pinJson(setting)));
        done.addObject(pinJson(setting));
        if (!reporter.json())
            reporter.result(pinWords(setting), {});
    }
    if (reporter.json())
        reporter.result("", JsonObject().addArray("pins", done));
    return kExitSuccess;
}

} // namespace qbv::cli
