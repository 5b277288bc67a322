// What qbv prints, byte for byte, for every command and its usual outcomes, against files kept beside
// this suite: scripts parse this output, so any change to it must be a deliberate one. Run the suite
// with QBV_UPDATE_GOLDEN=1 to write the files anew after such a change, then review their diff.

#include "CliTesting.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"
#include "tests/programming/ProgrammerTesting.h"
#include "tests/support/FakeJtag.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

using namespace qbv;
using test::FakeJtag;

namespace {

enum class Board { Answers, Silent, Unplugged };

struct Golden {
    const char* name;
    std::vector<std::string> arguments;
    Board board = Board::Answers;
};

std::string shellWords(const std::vector<std::string>& arguments) {
    std::string line = "qbv";
    for (const std::string& argument : arguments) {
        line += ' ';
        const bool plain = !argument.empty() && argument.find_first_of(" '\"\\$") == std::string::npos &&
                           static_cast<unsigned char>(argument[0]) < 0x80;
        line += plain ? argument : "'" + argument + "'";
    }
    return line;
}

std::string jsonEscaped(const std::string& text) {
    const std::string quoted = nlohmann::json(text).dump();
    return quoted.substr(1, quoted.size() - 2);
}

// The same on every system and in every test folder: where qbv looked for the programmer beside itself,
// and this system's words for a tool chain it does not know, as a placeholder each, in words and in JSON.
std::string placeholders(std::string text) {
    const std::pair<std::string, std::string> kept[] = {
        {programming::programmerPath(test::programFolder() + programming::kToolChainBeside),
         "<the programmer beside qbv>"},
        {platform::toolchainWords().missing, "<no tool chain recorded>"}};
    for (const auto& [found, placeholder] : kept)
        for (const std::string& as : {jsonEscaped(found), found})
            for (size_t at = 0; (at = text.find(as, at)) != std::string::npos; at += placeholder.size())
                text.replace(at, as.size(), placeholder);
    return text;
}

std::string record(const Golden& golden, const test::CliRun& run) {
    std::ostringstream text;
    text << "$ " << shellWords(golden.arguments) << "\nexit: " << run.exitCode << "\n--- stdout\n"
         << run.out << "--- stderr\n"
         << run.err;
    return placeholders(text.str());
}

std::string goldenPath(const Golden& golden) {
    return std::string(QBV_GOLDEN_DIR) + "/" + golden.name + ".txt";
}

class GoldenOutputTest : public testing::TestWithParam<Golden> {
protected:
    GoldenOutputTest() {
        test::forgetInstall();
        fake.answerKeyReads(0x05);
    }
    FakeJtag fake;
    test::FakeLibraryDirectory directory;
};

} // namespace

TEST_P(GoldenOutputTest, OutputIsExactlyAsKept) {
    const Golden& golden = GetParam();
    if (golden.board == Board::Silent)
        fake.setFallback(kFakeWrite, FakeJtag::step(0, 0)); // a blank controller takes nothing
    if (golden.board == Board::Unplugged)
        fake.fail(kFakeInit);
    const std::string actual = record(golden, test::runQbv(golden.arguments));
    if (std::getenv("QBV_UPDATE_GOLDEN")) {
        std::ofstream(goldenPath(golden), std::ios::binary) << actual;
        return;
    }
    std::ifstream file(goldenPath(golden), std::ios::binary);
    ASSERT_TRUE(file) << goldenPath(golden);
    std::ostringstream expected;
    expected << file.rdbuf();
    EXPECT_EQ(actual, expected.str());
}

const Golden kGoldens[] = {
    {"help", {"--help"}},
    {"help_none", {}},
    {"help_ping", {"help", "ping"}},
    {"help_led", {"led", "--help"}},
    {"help_pin", {"pin", "-h"}},
    {"help_keys", {"keys", "--help"}},
    {"help_program", {"program", "--help"}},
    {"version", {"--version"}},
    {"version_json", {"--json", "--version"}},
    {"ping", {"ping"}},
    {"ping_json", {"ping", "--json"}},
    {"led", {"led", "0x81"}},
    {"led_on_json", {"led", "--on", "8,1", "--json"}},
    {"pin", {"pin", "87", "on", "0", "off"}},
    {"pin_json", {"pin", "87", "on", "--json"}},
    {"keys", {"keys"}},
    {"keys_json", {"keys", "--json"}},
    {"usage_command", {"blink"}},
    {"usage_led_json", {"led", "256", "--json"}},
    {"usage_pin", {"pin", "5", "up"}},
    {"usage_bytes_json", {"--json", "led", "\xff"}},
    {"no_response_json", {"ping", "--json"}, Board::Silent},
    {"not_opened_json", {"led", "1", "--json"}, Board::Unplugged},
    {"not_opened", {"keys"}, Board::Unplugged},
    {"program_no_toolchain", {"program"}},
    {"program_no_toolchain_json", {"program", "--json"}},
    {"help_word_pin", {"help", "pin"}},
    {"led_on_equals_json", {"--json", "led", "--on=8,1"}},
    {"usage_pin_negative_json", {"pin", "1", "on", "-1", "off", "--json"}},
    {"usage_command_json", {"--json", "blink"}},
};
INSTANTIATE_TEST_SUITE_P(Qbv, GoldenOutputTest, testing::ValuesIn(kGoldens),
                         [](const testing::TestParamInfo<Golden>& info) {
                             return std::string(info.param.name);
                         });
