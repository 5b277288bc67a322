// The fake JTAG-UART client library as the vendor edition of our JTAG library will meet it: loaded by
// full path, client first, every function found under the vendor's name, and doing what its script says.

#include "tests/fakeclient/FakeClientScript.h"
#include "tests/fakeclient/FakeClientTesting.h"
#include "tests/support/TemporaryDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>

namespace qbv::test {
namespace {

using testing::HasSubstr;

TEST(FakeClient, LoadsBesideItsClientWithEveryFunctionUnderItsVendorName) {
    ASSERT_TRUE(fakeAtlanticComplete());
    const Link link = openLink();
    ASSERT_TRUE(link);
    EXPECT_EQ(fakeAtlantic().waitOpen(link.get()), 0);
    EXPECT_EQ(fakeAtlantic().flush(link.get()), 0);
    EXPECT_EQ(fakeAtlantic().cableWarning(link.get()), 0);
    EXPECT_EQ(fakeAtlantic().bytesAvailable(link.get()), 0);
}

struct OpenFailureCase {
    const char* variable;
    const char* value;
    int error;
    const char* detail; // part of the detail text
};

void PrintTo(const OpenFailureCase& row, std::ostream* out) {
    *out << row.variable << '=' << row.value;
}

class FakeClientOpenFailure : public testing::TestWithParam<OpenFailureCase> {};

TEST_P(FakeClientOpenFailure, ReturnsNullAndReportsTheErrorWithADetail) {
    ASSERT_TRUE(fakeAtlanticComplete());
    ScopedVariables script;
    script.set(GetParam().variable, GetParam().value);
    EXPECT_FALSE(openLink());
    const auto [error, detail] = lastOpenError();
    EXPECT_EQ(error, GetParam().error);
    EXPECT_THAT(detail, HasSubstr(GetParam().detail));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FakeClientOpenFailure,
    testing::Values(
        OpenFailureCase{kFakeClientOpenVariable, "not-unique", -2, "More than one JTAG cable"},
        OpenFailureCase{kFakeClientOpenVariable, "no-cable", -3, "No JTAG cable"},
        OpenFailureCase{kFakeClientOpenVariable, "not-on-host", -4, "not connected to this computer"},
        OpenFailureCase{kFakeClientOpenVariable, "not-on-board", -5, "not connected to a board"},
        OpenFailureCase{kFakeClientOpenVariable, "in-use", -6, "Another program"},
        OpenFailureCase{kFakeClientOpenVariable, "node-not-unique", -7, "More than one JTAG UART"},
        OpenFailureCase{kFakeClientOpenVariable, "no-node", -8, "No JTAG UART"},
        OpenFailureCase{kFakeClientOpenVariable, "hardware", -9, "hardware"},
        OpenFailureCase{kFakeClientOpenVariable, "other", -99, "Unable to connect to the JTAG server"},
        OpenFailureCase{kFakeClientOpenVariable, "in use", -99, "QBV_FAKE_CLIENT_OPEN"},
        OpenFailureCase{kFakeClientAcceptVariable, "-1", -99, "QBV_FAKE_CLIENT_ACCEPT"},
        OpenFailureCase{kFakeClientBreakAfterVariable, "ten", -99, "QBV_FAKE_CLIENT_BREAK_AFTER"},
        OpenFailureCase{kFakeClientKeysVariable, "1,0x100", -99, "QBV_FAKE_CLIENT_KEYS"},
        OpenFailureCase{kFakeClientBoardVariable, "real", -99, "QBV_FAKE_CLIENT_BOARD"}));

struct WriteCase {
    const char* accept;
    const char* breakAfter;
    std::vector<unsigned int> writes; // bytes offered by each write, all pings
    std::vector<int> results;
    bool brokenAfter;
};

void PrintTo(const WriteCase& row, std::ostream* out) {
    *out << "accept=" << row.accept << " break-after=" << row.breakAfter;
}

class FakeClientWrites : public testing::TestWithParam<WriteCase> {};

TEST_P(FakeClientWrites, AcceptWhatTheScriptAllowsAndBreakWhereItSays) {
    ASSERT_TRUE(fakeAtlanticComplete());
    ScopedVariables script;
    script.set(kFakeClientAcceptVariable, GetParam().accept)
        .set(kFakeClientBreakAfterVariable, GetParam().breakAfter);
    const Link link = openLink();
    ASSERT_TRUE(link);
    std::vector<int> results;
    for (const unsigned int count : GetParam().writes)
        results.push_back(write(link.get(), std::vector<uint8_t>(count, 0x00)));
    EXPECT_EQ(results, GetParam().results);
    const std::vector<int> later = {fakeAtlantic().bytesAvailable(link.get()),
                                    fakeAtlantic().flush(link.get()), fakeAtlantic().waitOpen(link.get()),
                                    write(link.get(), {0x00})};
    EXPECT_THAT(later, testing::Each(GetParam().brokenAfter ? testing::Matcher<int>(testing::Lt(0))
                                                            : testing::Ge(0)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FakeClientWrites,
    testing::Values(WriteCase{"", "", {5, 4096}, {5, 4096}, false}, WriteCase{"3", "", {8, 2}, {3, 2}, false},
                    WriteCase{"0", "", {4}, {0}, false}, WriteCase{"", "4", {3, 3, 1}, {3, 1, -1}, true},
                    WriteCase{"", "0", {1}, {-1}, true}, WriteCase{"2", "3", {5, 5, 5}, {2, 1, -1}, true}));

struct KeysCase {
    const char* keys;
    std::vector<uint8_t> written;
    std::vector<uint8_t> answers;
};

void PrintTo(const KeysCase& row, std::ostream* out) {
    *out << "keys=" << row.keys << " written" << std::hex;
    for (const uint8_t byte : row.written)
        *out << ' ' << int(byte);
}

class FakeClientKeys : public testing::TestWithParam<KeysCase> {};

TEST_P(FakeClientKeys, TheBoardAnswersEachReadKeysCommandWithTheNextKeys) {
    ASSERT_TRUE(fakeAtlanticComplete());
    ScopedVariables script;
    script.set(kFakeClientKeysVariable, GetParam().keys);
    const Link link = openLink();
    ASSERT_TRUE(link);
    ASSERT_EQ(write(link.get(), GetParam().written), static_cast<int>(GetParam().written.size()));
    EXPECT_EQ(fakeAtlantic().bytesAvailable(link.get()), static_cast<int>(GetParam().answers.size()));
    EXPECT_EQ(read(link.get()), GetParam().answers);
    EXPECT_EQ(fakeAtlantic().bytesAvailable(link.get()), 0);
}

// Ping, read keys, LED mask 0x06, pin byte 0x06, read keys: the data bytes ask for nothing.
INSTANTIATE_TEST_SUITE_P(
    Table, FakeClientKeys,
    testing::Values(KeysCase{"", {0x06}, {0x00}},
                    KeysCase{"0x05", {0x00, 0x06, 0x01, 0x06, 0x05, 0x06, 0x06}, {0x05, 0x05}},
                    KeysCase{"1,0x0A", {0x06, 0x06, 0x06}, {0x01, 0x0A, 0x0A}},
                    KeysCase{"", {0x01, 0x80, 0x05, 0x87}, {}}));

struct SlowCase {
    const char* variable;
    const char* call;
    std::function<int(JTAGATLANTIC*)> run;
};

void PrintTo(const SlowCase& row, std::ostream* out) {
    *out << row.variable << ' ' << row.call;
}

class FakeClientSlow : public testing::TestWithParam<SlowCase> {};

TEST_P(FakeClientSlow, TheCallTakesAsLongAsTheScriptSays) {
    ASSERT_TRUE(fakeAtlanticComplete());
    ScopedVariables script;
    script.set(GetParam().variable, "150");
    const Link link = openLink();
    ASSERT_TRUE(link);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GE(GetParam().run(link.get()), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
}

INSTANTIATE_TEST_SUITE_P(Table, FakeClientSlow,
                         testing::Values(SlowCase{kFakeClientDelayVariable, "write",
                                                  [](JTAGATLANTIC* link) { return write(link, {0x06}); }},
                                         SlowCase{kFakeClientDelayVariable, "read",
                                                  [](JTAGATLANTIC* link) { return int(read(link).size()); }},
                                         SlowCase{kFakeClientWaitOpenVariable, "wait_open",
                                                  [](JTAGATLANTIC* link) {
                                                      return fakeAtlantic().waitOpen(link);
                                                  }}));

std::vector<std::string> lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> result;
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

TEST(FakeClient, LogsEveryCallWithItsArgumentsAndBytes) {
    ASSERT_TRUE(fakeAtlanticComplete());
    const TemporaryDirectory directory;
    ScopedVariables script;
    script.set(kFakeClientLogVariable, directory.file("calls.log"));
    Link link = openLink("USB-Blaster [USB-0]", "qbv");
    ASSERT_TRUE(link);
    write(link.get(), {0x01, 0x80});
    write(link.get(), {0x06});
    read(link.get(), 16);
    link.reset();
    script.set(kFakeClientOpenVariable, kFakeOpenInUse);
    openLink(nullptr, "qbv");
    lastOpenError();

    const std::vector<std::string> logged = lines(directory.file("calls.log"));
    ASSERT_FALSE(logged.empty());
    const std::string number = logged[0].substr(logged[0].rfind('=') + 1);
    EXPECT_EQ(
        logged,
        (std::vector<std::string>{
            R"(jtagatlantic_open chain="USB-Blaster [USB-0]" device=-1 instance=-1 app="qbv" link=)" + number,
            "jtagatlantic_write link=" + number + " result=2 count=2 data=01 80",
            "jtagatlantic_write link=" + number + " result=1 count=1 data=06",
            "jtagatlantic_read link=" + number + " result=1 size=16 data=00",
            "jtagatlantic_close link=" + number,
            R"(jtagatlantic_open chain=null device=-1 instance=-1 app="qbv" error=-6)",
            "jtagatlantic_get_error result=-6",
        }));
}

} // namespace
} // namespace qbv::test
