// A stand-in for the vendor's programmer in the tests: notes how it was started, runs for a while and
// ends as told.
#include "TestProgrammerSettings.h"
#include "platform/ProgramLocation.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#endif

namespace {

unsigned long setting(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::strtoul(value, nullptr, 0) : 0;
}

void record(int argc, char** argv) {
    const char* file = std::getenv(qbv::test::kProgrammerRecordVariable);
    if (!file)
        return;
#ifndef _WIN32
    std::string inherited; // descriptors beyond the standard streams, looked at before opening any
    for (int descriptor = 3; descriptor < 256; ++descriptor)
        if (fcntl(descriptor, F_GETFD) != -1)
            inherited += "descriptor=" + std::to_string(descriptor) + "\n";
#endif
    std::ofstream out(file, std::ios::app);
#ifndef _WIN32
    out << inherited;
#endif
    // In UTF-8, as the program that started it wrote its path and arguments.
    out << "module=" << qbv::platform::executableFile() << "\n";
    out << "cwd=" << std::filesystem::current_path().string() << "\n";
    for (const std::string& argument : qbv::platform::programArguments(argc, argv))
        out << "argv=" << argument << "\n";
#ifdef _WIN32
    out << "commandline=" << GetCommandLineA() << "\n";
#endif
}

void recordEnd() {
    if (const char* file = std::getenv(qbv::test::kProgrammerRecordVariable))
        std::ofstream(file, std::ios::app) << "end\n";
}

} // namespace

int main(int argc, char** argv) {
    record(argc, argv);
    std::this_thread::sleep_for(std::chrono::milliseconds(setting(qbv::test::kProgrammerRunVariable)));
    recordEnd();
#ifndef _WIN32
    if (const unsigned long signal = setting(qbv::test::kProgrammerSignalVariable))
        std::raise(static_cast<int>(signal));
#endif
    const auto code = static_cast<unsigned>(setting(qbv::test::kProgrammerExitVariable));
#ifdef _WIN32
    ExitProcess(code); // the full 32 bits, 0xC000013A included
#else
    return static_cast<int>(code);
#endif
}
