#include "tests/support/FakeJtag.h"

#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "tests/support/FakeClock.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>

namespace qbv::test {

FakeJtag::FakeJtag() : script_(std::make_unique<FakeJtagScript>()) {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<void*>(script_.get()));
    platform::setEnvironmentVariable(kFakeScriptVariable, address);
}

FakeJtag::~FakeJtag() {
    platform::setEnvironmentVariable(kFakeScriptVariable, "");
}

void FakeJtag::push(FakeFunction function, const FakeStep& step) {
    FakeJtagScript& s = *script_;
    if (s.queued[function] < FakeJtagScript::kQueueLength)
        s.queue[function][s.queued[function]++] = step;
}

void FakeJtag::setFallback(FakeFunction function, const FakeStep& step) {
    script_->fallback[function] = step;
}

void FakeJtag::answerKeyReads(uint8_t keyState) {
    setFallback(kFakeRead, reply({keyState}));
}

void FakeJtag::delayWith(FakeClock& clock) {
    script_->delay = &FakeClock::advanceBy;
    script_->delayUser = &clock;
}

std::vector<FakeCall> FakeJtag::calls() const {
    return std::vector<FakeCall>(script_->calls, script_->calls + script_->callCount);
}

std::vector<FakeCall> FakeJtag::calls(FakeFunction function) const {
    std::vector<FakeCall> result;
    for (int i = 0; i < script_->callCount; ++i)
        if (script_->calls[i].function == function)
            result.push_back(script_->calls[i]);
    return result;
}

std::vector<int32_t> FakeJtag::order() const {
    std::vector<int32_t> result;
    for (int i = 0; i < script_->callCount; ++i)
        result.push_back(script_->calls[i].function);
    return result;
}

int FakeJtag::count(FakeFunction function) const {
    return static_cast<int>(calls(function).size());
}

bool FakeJtag::loaded() const {
    const std::vector<int32_t> calls = order();
    return std::count(calls.begin(), calls.end(), kFakeLoad) >
           std::count(calls.begin(), calls.end(), kFakeUnload);
}

std::vector<uint8_t> FakeJtag::received() const {
    std::vector<uint8_t> bytes;
    for (const FakeCall& call : calls(kFakeWrite))
        bytes.insert(bytes.end(), call.bytes, call.bytes + std::min(call.accepted, 16));
    return bytes;
}

void FakeJtag::clearRecord() {
    script_->callCount = 0;
}

FakeStep FakeJtag::step(int32_t result, int32_t count, int32_t stall, uint32_t delayMs) {
    FakeStep s;
    s.result = result;
    s.count = count;
    s.stall = stall;
    s.delayMs = delayMs;
    return s;
}

FakeStep FakeJtag::reply(std::initializer_list<uint8_t> bytes, uint32_t delayMs) {
    FakeStep s = step(0, static_cast<int32_t>(bytes.size()), -1, delayMs);
    std::copy(bytes.begin(), bytes.end(), s.bytes);
    return s;
}

std::filesystem::path FakeLibraryDirectory::builtLibrary(int omittedExport) {
    const std::string name =
        omittedExport == kWhole ? "fakejtag" : "fakejtag_no_" + std::to_string(omittedExport);
    // Test programs sit in bin/, the fake libraries in fakejtag/ beside it.
    return pathFromUtf8(platform::executableDirectory()) / ".." / "fakejtag" / (name + QBV_SHARED_SUFFIX);
}

namespace {
std::string& chosenFolder() {
    static std::string folder;
    return folder;
}
} // namespace

std::string programFolder() {
    return chosenFolder().empty() ? platform::executableDirectory() : chosenFolder();
}

void setProgramFolder(const std::string& folder) {
    chosenFolder() = folder;
}

FakeLibraryDirectory::FakeLibraryDirectory(int omittedExport) {
    std::filesystem::copy_file(builtLibrary(omittedExport), libraryPath());
    setProgramFolder(directory());
}

FakeLibraryDirectory::~FakeLibraryDirectory() {
    setProgramFolder("");
}

std::string FakeLibraryDirectory::libraryPath() const {
    return directory() + platform::jtagLibraryFileName();
}

void FakeLibraryDirectory::removeLibrary() {
    std::filesystem::remove(libraryPath());
}

#ifdef _WIN32
void FakeLibraryDirectory::useThirtyTwoBitLibrary() {
    const std::filesystem::path built = pathFromUtf8(platform::executableDirectory()) / "..";
    std::filesystem::copy_file(built / "fakejtag" / "fakejtag32.dll", pathFromUtf8(libraryPath()),
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(built / "bin" / "qbv-jtag32.exe", path() / "qbv-jtag32.exe");
}
#endif

} // namespace qbv::test
