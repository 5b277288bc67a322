#include "StandinProgrammer.h"

#include "BoardProgramming.h"
#include "ChainFileCheck.h"
#include "CommandLine.h"
#include "DesignFileCheck.h"
#include "ProgrammerConsole.h"
#include "ProgrammerExitCodes.h"
#include "ProgrammerSettings.h"
#include "common/Format.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace qbv::standin {

namespace {

std::string commandText(const std::vector<std::string>& arguments) {
    std::string text = "quartus_pgm";
    for (const std::string& argument : arguments)
        text += " " + argument;
    return text;
}

ExitCode unsuccessful(ExitCode code) {
    error("Programmer was unsuccessful. 1 error, 0 warnings");
    return code;
}

ExitCode failed(ExitCode code, const std::string& reason) {
    error(reason);
    return unsuccessful(code);
}

// The checks of the two files and the programming itself.
ExitCode programFromChain(const std::string& chainFilePath, uint32_t durationMs) {
    std::string designFilePath, reason;
    if (!checkChainFile(chainFilePath, designFilePath, reason))
        return failed(kExitBadChainFile, "Can't use the chain definition file: " + reason);
    std::string content;
    sim::Design design;
    if (!checkDesignFile(designFilePath, content, design, reason))
        return failed(kExitBadDesignFile, "Can't use the programming file: " + reason);
    const uint32_t checksum = sim::crc32(reinterpret_cast<const uint8_t*>(content.data()), content.size());
    info(formatText("Using programming file %s with checksum 0x%08X for device EPM2210GF324@1",
                    designFilePath.c_str(), checksum));
    const ExitCode outcome = BoardProgramming().program(content, durationMs);
    if (outcome != kExitSuccess)
        return unsuccessful(outcome); // the board's side has said why
    info("Programmer was successful. 0 errors, 0 warnings");
    return kExitSuccess;
}

} // namespace

uint32_t runStandinProgrammer(const std::vector<std::string>& arguments) {
    info("Running the QB-vela stand-in Programmer, which programs the virtual board");
    info("Command: " + commandText(arguments));
    ProgrammerSettings settings;
    std::string reason;
    if (!readProgrammerSettings(settings, reason))
        return failed(kExitUsage, reason);
    std::this_thread::sleep_for(std::chrono::milliseconds(settings.hangMs));
    const CommandLine commandLine = parseCommandLine(arguments);
    if (commandLine.request == CommandLine::Request::Help) {
        std::printf("%s\n", kUsage);
        return kExitSuccess;
    }
    if (commandLine.request == CommandLine::Request::Invalid)
        return failed(kExitUsage, commandLine.error + "\n" + kUsage);
    if (settings.exitCode) {
        info(formatText("Ending with exit code 0x%X as %s asks; nothing was programmed", *settings.exitCode,
                        kExitCodeVariable));
        return *settings.exitCode;
    }
    return programFromChain(commandLine.chainFilePath, settings.durationMs);
}

} // namespace qbv::standin
