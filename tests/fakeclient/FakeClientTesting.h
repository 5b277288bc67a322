#pragma once

// What the fake JTAG-UART client library's suites share: the fake, loaded by full path as the vendor
// edition of our JTAG library loads the real one, an open link that closes itself, and the fake's script.

#include "jtagvendor/ClientLibrary.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qbv::test {

// The client library, then the atlantic library beside it, loaded once for the process as the vendor
// edition loads the real ones; a function the library does not export under its name stays nullptr.
const jtagvendor::ClientFunctions& fakeAtlantic();
// Every function found, the ones the vendor edition can do without too.
bool fakeAtlanticComplete();

struct LinkCloser {
    void operator()(JTAGATLANTIC* link) const { fakeAtlantic().close(link); }
};
using Link = std::unique_ptr<JTAGATLANTIC, LinkCloser>;

Link openLink(const char* chain = nullptr, const char* appName = "qbv-fakeclient-test");
// The error of the last failed open and its detail ("" for none).
std::pair<int, std::string> lastOpenError();

int write(JTAGATLANTIC* link, const std::vector<uint8_t>& bytes);
// A read of up to room bytes; empty when it failed.
std::vector<uint8_t> read(JTAGATLANTIC* link, unsigned int room = 64);

// Environment variables for one test, each removed again at its end.
class ScopedVariables {
public:
    ScopedVariables() = default;
    ~ScopedVariables();
    ScopedVariables(const ScopedVariables&) = delete;
    ScopedVariables& operator=(const ScopedVariables&) = delete;

    ScopedVariables& set(const char* name, const std::string& value);

private:
    std::vector<const char*> names_;
};

} // namespace qbv::test
