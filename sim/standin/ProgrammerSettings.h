#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qbv::standin {

// What a test or a demo asks of the stand-in through its environment, which it inherits from the panel:
//   QBV_PGM_EXIT_CODE    end with this code at once (after any hang), programming nothing
//   QBV_PGM_HANG_MS      sleep this long before anything else, e.g. past the panel's time-out
//   QBV_PGM_DURATION_MS  how long programming takes, progress included (default 2500)
// Numbers are decimal or 0x-hex. An exit code is 0 to 255 or 0xC000013A, which ends the stand-in the way
// Ctrl+C does; a process cannot report any other.
constexpr const char* kExitCodeVariable = "QBV_PGM_EXIT_CODE";
constexpr const char* kHangVariable = "QBV_PGM_HANG_MS";
constexpr const char* kDurationVariable = "QBV_PGM_DURATION_MS";

constexpr uint32_t kDefaultDurationMs = 2500;

struct ProgrammerSettings {
    std::optional<uint32_t> exitCode;
    uint32_t hangMs = 0;
    uint32_t durationMs = kDefaultDurationMs;
};

// False, with the reason, when a setting is present but malformed.
bool readProgrammerSettings(ProgrammerSettings& settings, std::string& error);

} // namespace qbv::standin
