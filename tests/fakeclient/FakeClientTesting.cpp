#include "tests/fakeclient/FakeClientTesting.h"

#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/ProgramLocation.h"

#include <algorithm>
#include <filesystem>

namespace qbv::test {

namespace {

// Test programs sit in bin/, the fake in fakeclient/linux64 or fakeclient/bin64 beside it.
std::string builtFile(const char* name) {
    const auto path = std::filesystem::path(platform::executableDirectory()) / ".." / "fakeclient" /
                      QBV_FAKE_CLIENT_FOLDER / name;
    return path.lexically_normal().make_preferred().string();
}

template <typename Function>
void find(platform::LibraryHandle library, AtlanticFunction function, Function& pointer) {
    pointer = reinterpret_cast<Function>(platform::findSymbol(library, atlanticExportName(function)));
}

AtlanticLibrary load() {
    AtlanticLibrary atlantic;
    if (platform::loadLibrary(builtFile(QBV_FAKE_CLIENT_FILE)) == nullptr)
        return atlantic;
    const platform::LibraryHandle library = platform::loadLibrary(builtFile(QBV_FAKE_ATLANTIC_FILE));
    if (library == nullptr)
        return atlantic;
    find(library, kAtlanticOpen, atlantic.open);
    find(library, kAtlanticGetError, atlantic.getError);
    find(library, kAtlanticClose, atlantic.close);
    find(library, kAtlanticWrite, atlantic.write);
    find(library, kAtlanticFlush, atlantic.flush);
    find(library, kAtlanticRead, atlantic.read);
    find(library, kAtlanticBytesAvailable, atlantic.bytesAvailable);
    find(library, kAtlanticWaitOpen, atlantic.waitOpen);
    find(library, kAtlanticCableWarning, atlantic.cableWarning);
    return atlantic;
}

} // namespace

bool AtlanticLibrary::complete() const {
    return open && getError && close && write && flush && read && bytesAvailable && waitOpen && cableWarning;
}

const AtlanticLibrary& fakeAtlantic() {
    static const AtlanticLibrary atlantic = load();
    return atlantic;
}

Link openLink(const char* chain, const char* appName) {
    return Link(fakeAtlantic().open(chain, -1, -1, appName));
}

std::pair<int, std::string> lastOpenError() {
    const char* detail = nullptr;
    const int error = fakeAtlantic().getError(&detail);
    return {error, detail ? detail : ""};
}

int write(JTAGATLANTIC* link, const std::vector<uint8_t>& bytes) {
    return fakeAtlantic().write(link, reinterpret_cast<const char*>(bytes.data()),
                                static_cast<unsigned int>(bytes.size()));
}

std::vector<uint8_t> read(JTAGATLANTIC* link, unsigned int room) {
    std::vector<uint8_t> bytes(room);
    const int got = fakeAtlantic().read(link, reinterpret_cast<char*>(bytes.data()), room);
    bytes.resize(static_cast<size_t>(std::max(got, 0)));
    return bytes;
}

ScopedVariables::~ScopedVariables() {
    for (const char* name : names_)
        platform::setEnvironmentVariable(name, "");
}

ScopedVariables& ScopedVariables::set(const char* name, const std::string& value) {
    platform::setEnvironmentVariable(name, value);
    names_.push_back(name);
    return *this;
}

} // namespace qbv::test
