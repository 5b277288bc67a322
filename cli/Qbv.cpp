#include "Qbv.h"

#include "Arguments.h"
#include "Commands.h"
#include "HelpText.h"
#include "Output.h"
#include "common/ExitCode.h"

namespace qbv::cli {

namespace {

int reportUsageError(const ParseResult& parsed, Console& console) {
    const Invocation& call = parsed.invocation;
    Reporter(console, call.json, commandName(call.command)).failure(kExitUsage, parsed.error);
    console.err << usageHint(call.command) << std::endl;
    return kExitUsage;
}

int showVersion(const Invocation& call, Console& console) {
    if (call.json)
        console.out << jsonText({{"version", kVersion}}) << std::endl;
    else
        console.out << "qbv " << kVersion << std::endl;
    return kExitSuccess;
}

int runCommand(const Invocation& call, Console& console) {
    Reporter reporter(console, call.json, commandName(call.command));
    switch (call.command) {
    case Command::Ping:
        return runPing(call, reporter);
    case Command::Led:
        return runLed(call, reporter);
    case Command::Pin:
        return runPin(call, reporter);
    case Command::Keys:
        return runKeys(call, reporter);
    case Command::Program:
        return runProgram(call, reporter);
    case Command::Doctor:
        return runDoctor(call, reporter);
    case Command::None:
        break;
    }
    return kExitUsage;
}

} // namespace

int runQbv(const std::vector<std::string>& arguments, Console& console) {
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.ok)
        return reportUsageError(parsed, console);
    const Invocation& call = parsed.invocation;
    if (call.help) {
        console.out << parsed.helpText << std::flush;
        return kExitSuccess;
    }
    if (call.version)
        return showVersion(call, console);
    return runCommand(call, console);
}

} // namespace qbv::cli
