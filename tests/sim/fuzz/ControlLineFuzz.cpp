// libFuzzer target: arbitrary request lines for the control protocol, one to each "\n" of the input, all
// on one board. Every request gets one reply line, "ok" or "error"; nothing may crash, hang or grow
// without bound; and whatever the requests did, the board's "state" report must read back as the board.

#include "sim/core/BoardHost.h"
#include "sim/core/BoardState.h"
#include "sim/core/ControlInterpreter.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// A state report and an echoed design name are the longest replies; neither needs more than this beyond
// the request itself.
constexpr size_t kReplyAllowance = 1024;

bool wellFormed(const std::string& reply, size_t requestSize) {
    const std::string_view text(reply);
    return (text == "ok" || text.starts_with("ok ") || text.starts_with("error ")) &&
           text.find('\n') == std::string_view::npos && text.size() <= requestSize + kReplyAllowance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    qbv::sim::BoardHost host;
    for (size_t start = 0; start <= input.size();) {
        const size_t end = std::min(input.find('\n', start), input.size());
        const std::string line(input.substr(start, end - start));
        if (!wellFormed(qbv::sim::runControlLine(host, line).reply, line.size()))
            std::abort();
        start = end + 1;
    }
    const qbv::sim::BoardState state = qbv::sim::snapshot(host);
    qbv::sim::BoardState reported;
    if (!qbv::sim::parseState(qbv::sim::formatState(state), reported) || !(reported == state))
        std::abort();
    return 0;
}
