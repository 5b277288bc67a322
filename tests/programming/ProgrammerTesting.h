#pragma once

#include "tests/support/FakeJtag.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qbv::test {

// Copies the built test programmer to the path (its folders made as needed), runnable.
void installTestProgrammer(const std::filesystem::path& at);

// The orders the test programmer finds in its environment for as long as this lives, and the record it
// leaves behind.
class ProgrammerOrders {
public:
    explicit ProgrammerOrders(uint32_t exitCode, uint32_t runMs = 0, int signal = 0);
    ~ProgrammerOrders();
    ProgrammerOrders(const ProgrammerOrders&) = delete;
    ProgrammerOrders& operator=(const ProgrammerOrders&) = delete;

    // The values of the record's lines with this key, in order ("end" lines have the value "").
    std::vector<std::string> recorded(const std::string& key) const;
    bool started() const { return !recorded("module").empty(); }

    // Waits (really) up to the time for the programmer to note its end.
    bool waitForEnd(uint32_t milliseconds) const;

private:
    TemporaryDirectory folder_;
    std::string recordPath_;
};

// Where the job will find the vendor tool chain for as long as this lives: the environment variable on
// POSIX, the registry value (of the given type, set with the system's reg tool, in the view it names:
// "/reg:32" as a 32-bit installer writes it) on Windows.
class RegisteredInstall {
public:
    explicit RegisteredInstall(const std::string& directory, const char* registryType = "REG_SZ",
                               const char* view = "/reg:64");
    ~RegisteredInstall();
    RegisteredInstall(const RegisteredInstall&) = delete;
    RegisteredInstall& operator=(const RegisteredInstall&) = delete;
};

// The chain definition file for a design file in this directory (with slashes), written out by hand from
// its line table rather than by the program's writer.
std::string handWrittenChainFile(const std::string& directory);

// The user's own folder for the program's files (where a chain definition file goes when the program's
// folder takes none) in a temporary folder for as long as this lives; at base, which may be a file
// rather than a folder, so that no such folder can be made.
class UserCacheBase {
public:
    explicit UserCacheBase(const std::filesystem::path& base);
    ~UserCacheBase();
    UserCacheBase(const UserCacheBase&) = delete;
    UserCacheBase& operator=(const UserCacheBase&) = delete;
};

// Removes any record of the tool chain (the registry key, or the environment variable).
void forgetInstall();

#ifdef _WIN32
// Runs the system's reg tool with these arguments; its exit code.
int runRegistryTool(const std::string& arguments);
#endif

} // namespace qbv::test
