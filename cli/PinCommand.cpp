#include "BoardLink.h"
#include "Commands.h"
#include "common/ExitCode.h"
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
    Board board(call.waitSeconds, reporter);
    Json done = Json::array();
    for (const PinSetting& setting : call.pins) {
        if (reporter.console().interrupted())
            return reporter.failure(kExitInterrupted, "interrupted", {{"pins", done}});
        const Outcome outcome =
            board.carryOut([&setting](BoardLink& link) { return link.setPin(setting.pin, setting.on); });
        if (!outcome.done())
            return board.report(outcome, outcome.exitCode == kExitCommandFailed
                                             ? Json{{"pins", done}, {"failed", pinJson(setting)}}
                                             : Json::object());
        done.push_back(pinJson(setting));
        if (!reporter.json())
            reporter.result(pinWords(setting), {});
    }
    if (reporter.json())
        reporter.result("", {{"pins", done}});
    return kExitSuccess;
}

} // namespace qbv::cli
