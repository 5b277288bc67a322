#include "ProgrammerTesting.h"

#include "TestProgrammerSettings.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace qbv::test {

namespace {

constexpr const char* kInstallVariable = "QUARTUS_ROOTDIR";
[[maybe_unused]] constexpr const char* kQuartusKey = "\"HKLM\\Software\\Altera Corporation\\Quartus\"";

fs::path builtTestProgrammer() {
    return pathFromUtf8(platform::executableDirectory()) /
           (std::string("qbv_test_programmer") + QBV_EXE_SUFFIX);
}

// A Windows command-line argument in double quotes; a backslash before the closing quote is doubled.
[[maybe_unused]] std::string quoted(const std::string& text) {
    return "\"" + text + (!text.empty() && text.back() == '\\' ? "\\\"" : "\"");
}

} // namespace

void installTestProgrammer(const fs::path& at) {
    fs::create_directories(at.parent_path());
    fs::copy_file(builtTestProgrammer(), at, fs::copy_options::overwrite_existing);
    fs::permissions(at, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
}

ProgrammerOrders::ProgrammerOrders(uint32_t exitCode, uint32_t runMs, int signal)
    : recordPath_((folder_.path() / "record.txt").string()) {
    platform::setEnvironmentVariable(kProgrammerExitVariable, std::to_string(exitCode));
    platform::setEnvironmentVariable(kProgrammerRunVariable, std::to_string(runMs));
    platform::setEnvironmentVariable(kProgrammerSignalVariable, signal ? std::to_string(signal) : "");
    platform::setEnvironmentVariable(kProgrammerRecordVariable, recordPath_);
}

ProgrammerOrders::~ProgrammerOrders() {
    for (const char* name : {kProgrammerExitVariable, kProgrammerRunVariable, kProgrammerSignalVariable,
                             kProgrammerRecordVariable})
        platform::setEnvironmentVariable(name, "");
}

std::vector<std::string> ProgrammerOrders::recorded(const std::string& key) const {
    std::vector<std::string> values;
    std::ifstream in(recordPath_);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == key)
            values.emplace_back();
        else if (line.starts_with(key + "="))
            values.push_back(line.substr(key.size() + 1));
    }
    return values;
}

bool ProgrammerOrders::waitForEnd(uint32_t milliseconds) const {
    for (uint32_t waited = 0; waited < milliseconds; waited += 20) {
        if (!recorded("end").empty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !recorded("end").empty();
}

#ifdef _WIN32

int runRegistryTool(const std::string& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Started directly rather than through the shell, which would expand %references% in the data; in
    // UTF-16, so that a folder named in any script is registered whole.
    std::wstring commandLine = pathFromUtf8("reg.exe " + arguments).wstring();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

RegisteredInstall::RegisteredInstall(const std::string& directory, const char* registryType,
                                     const char* view) {
    const int result =
        runRegistryTool(std::string("add ") + kQuartusKey + " /v \"Quartus Install Directory\" /t " +
                        registryType + " /d " + quoted(directory) + " /f " + view);
    EXPECT_EQ(result, 0) << "reg add " << registryType << " " << directory;
}

void forgetInstall() {
    for (const char* view : {"/reg:64", "/reg:32"})
        runRegistryTool(std::string("delete ") + kQuartusKey + " /f " + view);
}

#else

RegisteredInstall::RegisteredInstall(const std::string& directory, const char*, const char*) {
    platform::setEnvironmentVariable(kInstallVariable, directory);
}

void forgetInstall() {
    platform::setEnvironmentVariable(kInstallVariable, "");
}

#endif

RegisteredInstall::~RegisteredInstall() {
    forgetInstall();
}

UserCacheBase::UserCacheBase(const std::filesystem::path& base) {
    platform::setEnvironmentVariable("XDG_CACHE_HOME", utf8Of(base));
    platform::setEnvironmentVariable("LOCALAPPDATA", utf8Of(base));
}

UserCacheBase::~UserCacheBase() {
    platform::setEnvironmentVariable("XDG_CACHE_HOME", "");
    platform::setEnvironmentVariable("LOCALAPPDATA", "");
}

std::string handWrittenChainFile(const std::string& directory) {
    return "/* Quartus II Version 7.1 Build 154 04/18/2007 SJ Web Edition */\r\n"
           "JedecChain;\r\n"
           "\tFileRevision(JESD32A);\r\n"
           "\tDefaultMfr(6E);\r\n"
           "\r\n"
           "\tP ActionCode(Cfg)\r\n"
           "\t\tDevice PartName(EPM2210GF324) Path(\"" +
           directory +
           "\") File(\"QBV_Control_Panel.pof\") MfrSpec(OpMask(1) SEC_Device(EPM2210GF324) Child_OpMask(2 1 "
           "1));\r\n"
           "\r\n"
           "ChainEnd;\r\n"
           "\r\n"
           "AlteraBegin;\r\n"
           "\tChainType(JTAG);\r\n"
           "AlteraEnd;\r\n";
}

} // namespace qbv::test
