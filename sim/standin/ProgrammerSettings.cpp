#include "ProgrammerSettings.h"

#include "common/Numbers.h"

#include "platform/ChildProcess.h"
#include "platform/Environment.h"

#include <charconv>

namespace qbv::standin {

namespace {

bool exitCodeReportable(uint32_t code) {
    return code <= 255 || code == platform::kControlCExit;
}

// An unset or empty variable leaves the value as it is.
bool readNumber(const char* name, uint32_t& value, std::string& error) {
    const std::string text = platform::environmentVariable(name);
    if (text.empty())
        return true;
    if (parseNumber(text, UINT32_MAX, value))
        return true;
    error = std::string(name) + "=" + text + " is not a whole number (decimal or 0x-hex)";
    return false;
}

} // namespace

bool readProgrammerSettings(ProgrammerSettings& settings, std::string& error) {
    if (!readNumber(kHangVariable, settings.hangMs, error) ||
        !readNumber(kDurationVariable, settings.durationMs, error))
        return false;
    uint32_t code = 0;
    if (platform::environmentVariable(kExitCodeVariable).empty())
        return true;
    if (!readNumber(kExitCodeVariable, code, error))
        return false;
    if (!exitCodeReportable(code)) {
        error = std::string(kExitCodeVariable) + " must be 0 to 255 or 0xC000013A";
        return false;
    }
    settings.exitCode = code;
    return true;
}

} // namespace qbv::standin
