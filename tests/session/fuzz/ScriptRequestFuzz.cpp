// libFuzzer target: one line as a running panel reads it from a script. Whatever is accepted must be a
// request with every value in range that reads back the same from its own line; whatever is refused must
// say why; nothing may crash or hang.

#include "common/Board.h"
#include "session/ScriptProtocol.h"

#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    qbv::session::ScriptRequest request;
    std::string error;
    if (!qbv::session::parseScriptRequest(line, request, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (request.pin < 0 || request.pin >= qbv::kPinCount || size > qbv::session::kMaxScriptLine)
        std::abort();
    std::string written = qbv::session::scriptRequestLine(request);
    written.pop_back(); // its "\n"
    qbv::session::ScriptRequest again;
    if (!qbv::session::parseScriptRequest(written, again, error) || !(again == request))
        std::abort();
    return 0;
}
