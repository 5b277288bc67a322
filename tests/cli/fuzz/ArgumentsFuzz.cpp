// libFuzzer target: qbv's command line, one word to each "\n" of the input. Whatever the reader accepts
// must be something qbv can carry out with every value in range; whatever it refuses must say why; and
// nothing may crash or hang.

#include "cli/Arguments.h"
#include "common/Board.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using qbv::cli::Command;
using qbv::cli::Invocation;

constexpr uint32_t kLongestWaitSeconds = 24 * 60 * 60;

bool carriesOut(const Invocation& call) {
    if (call.waitSeconds > kLongestWaitSeconds)
        return false;
    if (call.help || call.version)
        return true;
    if (call.watch && call.command != Command::Keys)
        return false;
    switch (call.command) {
    case Command::None:
        return false;
    case Command::Pin:
        if (call.pins.empty())
            return false;
        for (const qbv::cli::PinSetting& pin : call.pins)
            if (pin.pin < 0 || pin.pin >= qbv::kPinCount)
                return false;
        return true;
    default:
        return call.pins.empty();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> words;
    for (size_t start = 0; start < input.size();) {
        const size_t end = std::min(input.find('\n', start), input.size());
        words.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }
    const qbv::cli::ParseResult parsed = qbv::cli::parseArguments(words);
    if (parsed.ok ? !carriesOut(parsed.invocation) || !parsed.error.empty() : parsed.error.empty())
        std::abort();
    return 0;
}
