#include "tests/fakeclient/FakeClientTesting.h"

#include "platform/Environment.h"
#include "platform/ProgramLocation.h"

#include <algorithm>
#include <filesystem>

namespace qbv::test {

namespace {

// Test programs sit in bin/, the fake in fakeclient/linux64 or fakeclient/bin64 beside it.
std::string fakeFolder() {
    const auto path = std::filesystem::path(platform::executableDirectory()) / ".." / "fakeclient" /
                      QBV_FAKE_CLIENT_FOLDER / "";
    return path.lexically_normal().make_preferred().string();
}

jtagvendor::ClientFunctions load() {
    jtagvendor::ClientFunctions functions;
    jtagvendor::loadClientLibraryFrom(fakeFolder(), functions);
    return functions;
}

} // namespace

const jtagvendor::ClientFunctions& fakeAtlantic() {
    static const jtagvendor::ClientFunctions functions = load();
    return functions;
}

bool fakeAtlanticComplete() {
    const jtagvendor::ClientFunctions& f = fakeAtlantic();
    return f.open && f.getError && f.close && f.write && f.flush && f.read && f.bytesAvailable &&
           f.waitOpen && f.cableWarning;
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
