#include "CliTesting.h"

#include "cli/Qbv.h"
#include "tests/support/FakeJtag.h"

#include <cstdlib>
#include <memory>
#include <sstream>

namespace qbv::test {

CliRun runQbv(const std::vector<std::string>& arguments, const CliSetup& setup) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    cli::Console console{out, err};
    console.folder = programFolder();
    console.systemRoot = setup.systemRoot;
    console.outIsTerminal = console.errIsTerminal = setup.terminal;
    if (setup.interrupted)
        console.interrupted = setup.interrupted;
    console.leave = [&run](int code) { run.leftWith.push_back(code); };
    run.exitCode = cli::runQbv(arguments, console);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::function<bool()> interruptOnPoll(int poll) {
    auto polls = std::make_shared<int>(0);
    return [polls, poll] { return ++*polls >= poll; };
}

bool parseJson(const std::string& text, nlohmann::json& value) {
    value = nlohmann::json::parse(text, nullptr, false);
    return !value.is_discarded();
}

} // namespace qbv::test
