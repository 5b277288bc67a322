#pragma once

#include "tests/fakejtag/FakeJtagScript.h"
#include "tests/support/TemporaryDirectory.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qbv::test {

class FakeClock;

// The test's handle on the fake JTAG library: writes its script, reads its record. One per test; the
// library follows it from construction to destruction.
class FakeJtag {
public:
    FakeJtag();
    ~FakeJtag();
    FakeJtag(const FakeJtag&) = delete;
    FakeJtag& operator=(const FakeJtag&) = delete;

    FakeJtagScript& script() { return *script_; }

    // Queues the next result of a function; once its queue is empty the fallback answers.
    void push(FakeFunction function, const FakeStep& step);
    void setFallback(FakeFunction function, const FakeStep& step);
    void fail(FakeFunction function) { setFallback(function, step(1)); }

    // The board answering every key read with this byte.
    void answerKeyReads(uint8_t keyState);

    // Step delays advance this clock instead of sleeping.
    void delayWith(FakeClock& clock);

    std::vector<FakeCall> calls() const;
    std::vector<FakeCall> calls(FakeFunction function) const;
    std::vector<int32_t> order() const; // functions in the order they were called, load and unload included
    int count(FakeFunction function) const;
    // The panel holds the library now: loaded more often than freed.
    bool loaded() const;
    // The byte stream the board received: the accepted part of every write, in order.
    std::vector<uint8_t> received() const;
    void clearRecord();

    static FakeStep step(int32_t result, int32_t count = kFakeAcceptAll, int32_t stall = -1,
                         uint32_t delayMs = 0);
    static FakeStep reply(std::initializer_list<uint8_t> bytes, uint32_t delayMs = 0);

private:
    std::unique_ptr<FakeJtagScript> script_;
};

// The folder a test lays out as the program's own, which the test hands to what it makes (the port, the
// window, the session, qbv's run): the newest FakeLibraryDirectory's while one lives, else the executable's.
std::string programFolder();
void setProgramFolder(const std::string& folder); // empty: the executable's again

// A directory of the test's own with the fake library in it under the vendor library's name, made the
// program's folder for as long as it lives, whole or with one export left out.
class FakeLibraryDirectory {
public:
    static constexpr int kWhole = -1;
    explicit FakeLibraryDirectory(int omittedExport = kWhole);
    ~FakeLibraryDirectory();
    FakeLibraryDirectory(const FakeLibraryDirectory&) = delete;
    FakeLibraryDirectory& operator=(const FakeLibraryDirectory&) = delete;

    const std::filesystem::path& path() const { return folder_.path(); }
    std::string directory() const { return folder_.directory(); }
    std::string libraryPath() const;
    void removeLibrary();

    // The built fake library (or a variant of it) itself.
    static std::filesystem::path builtLibrary(int omittedExport = kWhole);

#ifdef _WIN32
    // The fake built 32-bit, as the board's maker builds its library, in the place of the 64-bit one, and
    // the helper that runs it for a 64-bit program beside it. In the helper's process it shares no memory
    // with the test: it answers reads from the environment and writes its record to the file that
    // kFakeRecordVariable names.
    void useThirtyTwoBitLibrary();
#endif

private:
    TemporaryDirectory folder_;
};

} // namespace qbv::test
