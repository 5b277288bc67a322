#include "BoardLink.h"
#include "Commands.h"
#include "ExitCode.h"
#include "board/BoardProtocol.h"
#include "common/Texts.h"

namespace qbv::cli {

namespace {

Json pinJson(const PinSetting& setting) {
    return {{"pin", setting.pin}, {"on", setting.on}};
}

std::string pinWords(const PinSetting& setting) {
    return std::string(text::kUpdateGpioSuccess) + ": pin " + std::to_string(setting.pin) +
           (setting.on ? " on" : " off");
}

} // namespace

int runPin(const Invocation& call, Reporter& reporter) {
    BoardLink link(call.waitSeconds);
    if (const int failed = link.connect(reporter))
        return failed;
    Json done = Json::array();
    for (const PinSetting& setting : call.pins) {
        if (reporter.console().interrupted())
            return reporter.failure(kExitInterrupted, "interrupted", {{"pins", done}});
        uint8_t pinByte = board::pinByte(setting.pin, setting.on);
        if (!link.send(board::kSetGpioPin, &pinByte))
            return reporter.failure(kExitCommandFailed, text::kUpdateGpioFail,
                                    {{"pins", done}, {"failed", pinJson(setting)}});
        done.push_back(pinJson(setting));
        if (!reporter.json())
            reporter.result(pinWords(setting), {});
    }
    if (reporter.json())
        reporter.result("", {{"pins", done}});
    return kExitSuccess;
}

} // namespace qbv::cli
