// The command line on its own: what each command takes, and that every mistake names the bad value.

#include "cli/Arguments.h"
#include "cli/HelpText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

using namespace qbv::cli;
using qbv::parseNumber;
using testing::HasSubstr;

namespace {

Invocation parsed(const std::vector<std::string>& words) {
    const ParseResult result = parseArguments(words);
    EXPECT_TRUE(result.ok) << result.error;
    return result.invocation;
}

std::string error(const std::vector<std::string>& words) {
    const ParseResult result = parseArguments(words);
    EXPECT_FALSE(result.ok);
    return result.error;
}

} // namespace

TEST(NumberTest, DecimalAndHexUpToTheMaximum) {
    uint32_t value = 0;
    EXPECT_TRUE(parseNumber("255", 255, value));
    EXPECT_EQ(value, 255u);
    EXPECT_TRUE(parseNumber("0xfF", 255, value));
    EXPECT_EQ(value, 255u);
    EXPECT_TRUE(parseNumber("010", 255, value)); // leading zeros are decimal, not octal
    EXPECT_EQ(value, 10u);
    EXPECT_TRUE(parseNumber("0xFFFFFFFF", UINT32_MAX, value));
    EXPECT_EQ(value, UINT32_MAX);
}

TEST(NumberTest, RefusesAnythingElse) {
    uint32_t value = 7;
    for (const char* text : {"256", "0x100", "", "0x", "-1", "+1", " 1", "1 ", "1e2", "12a", "0xG", "ff",
                             "99999999999999999999", "0x1FFFFFFFF"})
        EXPECT_FALSE(parseNumber(text, 255, value)) << text;
    EXPECT_EQ(value, 7u); // untouched by a refusal
}

TEST(ArgumentsTest, LedMaskAndOnListGiveTheSameMask) {
    EXPECT_EQ(parsed({"led", "0x81"}).ledMask, 0x81);
    EXPECT_EQ(parsed({"led", "129"}).ledMask, 0x81);
    EXPECT_EQ(parsed({"led", "--on", "8,1"}).ledMask, 0x81);
    EXPECT_EQ(parsed({"led", "--on=1,8,1"}).ledMask, 0x81);
    EXPECT_EQ(parsed({"led", "--on", "7"}).ledMask, 0x40);
    EXPECT_EQ(parsed({"led", "--on", ""}).ledMask, 0x00); // an empty list: all off
    EXPECT_EQ(parsed({"led", "0"}).ledMask, 0x00);
}

TEST(ArgumentsTest, LedMistakesNameTheValue) {
    EXPECT_THAT(error({"led", "0x100"}), HasSubstr("'0x100'"));
    EXPECT_THAT(error({"led", "256"}), HasSubstr("'256'"));
    EXPECT_THAT(error({"led", "all"}), HasSubstr("'all'"));
    EXPECT_THAT(error({"led", "-1"}), HasSubstr("'-1'"));
    EXPECT_THAT(error({"led", "--on", "1,9"}), HasSubstr("'9'"));
    EXPECT_THAT(error({"led", "--on", "0,8"}), HasSubstr("'0'"));
    EXPECT_THAT(error({"led", "--on", "1,,8"}), HasSubstr("''"));
    EXPECT_THAT(error({"led", "--on", "one"}), HasSubstr("'one'"));
    EXPECT_THAT(error({"led"}), HasSubstr("required"));
    EXPECT_THAT(error({"led", "--on"}), HasSubstr("--on"));
    EXPECT_THAT(error({"led", "1", "2"}), HasSubstr("not expected: 2"));
    EXPECT_THAT(error({"led", "1", "--on", "2"}), HasSubstr("excludes"));
    EXPECT_THAT(error({"led", "--off"}), HasSubstr("--off"));
}

TEST(ArgumentsTest, PinsInTheOrderGiven) {
    EXPECT_EQ(parsed({"pin", "87", "on", "0", "off", "0x10", "on"}).pins,
              (std::vector<PinSetting>{{87, true}, {0, false}, {16, true}}));
}

TEST(ArgumentsTest, PinMistakesNameTheValue) {
    EXPECT_THAT(error({"pin", "88", "on"}), HasSubstr("'88'"));
    EXPECT_THAT(error({"pin", "-1", "on"}), HasSubstr("'-1'"));
    EXPECT_THAT(error({"pin", "five", "on"}), HasSubstr("'five'"));
    EXPECT_THAT(error({"pin", "5", "up"}), HasSubstr("'up'"));
    EXPECT_THAT(error({"pin", "5", "onn"}), HasSubstr("'onn'"));
    EXPECT_EQ(parsed({"pin", "5", "ON", "6", "Off"}).pins, (std::vector<PinSetting>{{5, true}, {6, false}}));
    EXPECT_THAT(error({"pin", "5", "on", "6"}), HasSubstr("after pin 6"));
    EXPECT_THAT(error({"pin"}), HasSubstr("required"));
    // A mistake late on the line refuses the whole line, so no pin before it is switched either.
    EXPECT_THAT(error({"pin", "1", "on", "2", "on", "300", "off"}), HasSubstr("'300'"));
}

TEST(ArgumentsTest, KeysPingAndProgramTakeOnlyTheirOptions) {
    EXPECT_FALSE(parsed({"keys"}).watch);
    EXPECT_TRUE(parsed({"keys", "--watch"}).watch);
    EXPECT_EQ(parsed({"program"}).timeoutMs, 60000u);
    EXPECT_EQ(parsed({"program", "--timeout-ms", "250"}).timeoutMs, 250u);
    EXPECT_EQ(parsed({"program", "--timeout-ms=0x10"}).timeoutMs, 16u);
    EXPECT_THAT(error({"program", "--timeout-ms", "soon"}), HasSubstr("'soon'"));
    EXPECT_THAT(error({"program", "--timeout-ms"}), HasSubstr("--timeout-ms"));
    EXPECT_THAT(error({"keys", "--wacth"}), HasSubstr("--wacth"));
    EXPECT_THAT(error({"ping", "now"}), HasSubstr("now"));
}

TEST(ArgumentsTest, CommandsAndGlobalOptions) {
    EXPECT_THAT(error({}), HasSubstr("subcommand is required"));
    EXPECT_THAT(error({"blink"}), HasSubstr("blink"));
    EXPECT_THAT(error({"--frobnicate", "ping"}), HasSubstr("--frobnicate"));
    EXPECT_THAT(error({"--frobnicate"}), HasSubstr("--frobnicate"));
    const Invocation json = parsed({"led", "3", "--json"});
    EXPECT_TRUE(json.json);
    EXPECT_EQ(json.command, Command::Led);
    EXPECT_TRUE(parsed({"--json", "ping"}).json);
    EXPECT_TRUE(parsed({"--version"}).version);
}

TEST(ArgumentsTest, HelpWinsOverEverythingElseOnTheLine) {
    const Invocation general = parsed({"--help"});
    EXPECT_TRUE(general.help);
    EXPECT_EQ(general.command, Command::None);
    EXPECT_EQ(parsed({"help", "keys"}).command, Command::Keys);
    EXPECT_TRUE(parsed({"led", "999", "-h"}).help);
    EXPECT_EQ(parsed({"pin", "--help"}).command, Command::Pin);
}

TEST(HelpTextTest, DocumentsTheExitCodesAndTheLedCaveat) {
    const std::string general = helpText(Command::None);
    for (const char* code :
         {"  0 ", "  2 ", "  3 ", "  4 ", "  5 ", "  6 ", "  7 ", "  8 ", "  64 ", "  130 "})
        EXPECT_THAT(general, HasSubstr(code));
    EXPECT_THAT(helpText(Command::Led), HasSubstr("cannot be"));
    EXPECT_THAT(helpText(Command::Led), HasSubstr("all eight"));
    EXPECT_THAT(helpText(Command::Program), testing::Not(HasSubstr("timeout-ms"))); // a knob for tests only
}

namespace {

// Everything qbv acts on, so that two lines can be said to read the same.
auto meaning(const Invocation& call) {
    return std::tuple(call.command, call.json, call.help, call.version, call.ledMask, call.pins, call.watch,
                      call.timeoutMs);
}

using Lines = std::pair<std::vector<std::string>, std::vector<std::string>>;

class SameReadingTest : public testing::TestWithParam<Lines> {};

// Refused lines, each with what qbv says about them.
using Complaint = std::pair<std::vector<std::string>, std::string>;

class ComplaintTest : public testing::TestWithParam<Complaint> {};

} // namespace

TEST_P(SameReadingTest, ReadsAsThePlainLine) {
    EXPECT_EQ(meaning(parsed(GetParam().first)), meaning(parsed(GetParam().second)));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, SameReadingTest,
    testing::Values(Lines{{"led", "--on="}, {"led", "0"}},
                    Lines{{"led", "0x81", "--json"}, {"--json", "led", "0x81"}},
                    Lines{{"pin", "1", "--json", "on"}, {"--json", "pin", "1", "on"}},
                    Lines{{"help", "pin", "5", "up"}, {"pin", "--help"}},
                    Lines{{"--help", "blink", "ping"}, {"ping", "--help"}},
                    Lines{{"keys", "-hx"}, {"keys", "--help"}},
                    Lines{{"led", "999", "--version"}, {"--version", "led"}},
                    // CLI11's marks: the end of the options, the end of a command's words
                    Lines{{"ping", "--"}, {"ping"}}, Lines{{"ping", "++"}, {"ping"}}));

TEST_P(ComplaintTest, NamesTheWordAsTyped) {
    EXPECT_EQ(error(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ComplaintTest,
    testing::Values(
        Complaint{{}, "A subcommand is required"},
        Complaint{{"blink"}, "The following argument was not expected: blink"},
        Complaint{{"--json=1", "ping"}, "json was given a disallowed flag override"},
        Complaint{{"keys", "--watch=1"}, "watch was given a disallowed flag override"},
        Complaint{{"ping", "--on=1"}, "The following argument was not expected: --on=1"},
        Complaint{{"led"}, "Exactly 1 option from [MASK,--on] is required"},
        Complaint{{"led", "--on"}, "--on: 1 required N,M,... missing"},
        // --on takes the word after it, whatever it looks like
        Complaint{{"led", "--on", "--x"}, "--on: invalid LED number '--x' (1-8)"},
        Complaint{{"led", "--on", "--"}, "--on: invalid LED number '--' (1-8)"},
        Complaint{{"led", "--on", "ping"}, "--on: invalid LED number 'ping' (1-8)"},
        Complaint{{"led", "--on", "--json"}, "--on: invalid LED number '--json' (1-8)"},
        Complaint{{"led", "--on", "--help"}, "--on: invalid LED number '--help' (1-8)"},
        Complaint{{"led", "--on", "--json", "8,1"},
                  "MASK: invalid LED mask '8,1' (0x00-0xFF, decimal or 0x hex)"},
        Complaint{{"program", "--timeout-ms", "-h"}, "--timeout-ms: invalid time-out '-h' (milliseconds)"},
        Complaint{{"program", "--timeout-ms="}, "--timeout-ms: invalid time-out '' (milliseconds)"},
        // A word that has no place is named before anything else that is wrong
        Complaint{{"program", "now", "--timeout-ms", "soon"}, "The following argument was not expected: now"},
        Complaint{{"program", "--timeout-ms", "soon", "now"}, "The following argument was not expected: now"},
        Complaint{{"pin", "1", "--x", "2", "on"}, "The following argument was not expected: --x"},
        Complaint{{"-1", "led"}, "The following argument was not expected: -1"},
        Complaint{{"ping", "led"}, "The following argument was not expected: led"},
        Complaint{{"ping", "now", "later"}, "The following arguments were not expected: now later"},
        // A command's options after its name only
        Complaint{{"--on=0,7", "led"}, "The following argument was not expected: --on=0,7"},
        Complaint{{"--watch", "keys"}, "The following argument was not expected: --watch"},
        Complaint{{"--timeout-ms", "program", "5"},
                  "The following arguments were not expected: --timeout-ms 5"},
        Complaint{{"led", "--on", "1", "2"}, "MASK excludes --on"},
        Complaint{{"pin", "1", "on", "-1", "off"}, "N on|off: invalid pin number '-1' (0-87)"},
        Complaint{{"pin", "5", "on", "6"}, "N on|off: missing on or off after pin 6"},
        Complaint{{"help", "help"}, "COMMAND: help not in {ping,led,pin,keys,program,doctor}"}));

TEST(ArgumentsTest, JsonAnywhereOnTheLineAsksForTheRefusalInJson) {
    EXPECT_TRUE(parseArguments({"blink", "--json"}).invocation.json);
    EXPECT_TRUE(parseArguments({"--json", "blink"}).invocation.json);
    EXPECT_TRUE(parseArguments({"ping", "blink", "--json"}).invocation.json);
}

TEST(ArgumentsTest, WaitIsTakenAnywhereOnTheLineInSeconds) {
    EXPECT_EQ(parseArguments({"--wait", "5", "ping"}).invocation.waitSeconds, 5u);
    EXPECT_EQ(parseArguments({"led", "0x81", "--wait=0x10"}).invocation.waitSeconds, 16u);
    EXPECT_EQ(parseArguments({"led", "0x81", "--wait=0x10"}).invocation.ledMask, 0x81);
    EXPECT_EQ(parseArguments({"ping"}).invocation.waitSeconds, 0u);
    for (const std::vector<std::string>& line : {std::vector<std::string>{"ping", "--wait"},
                                                 {"ping", "--wait", "soon"},
                                                 {"--wait=-1", "ping"},
                                                 {"ping", "--wait", "86401"}}) {
        const ParseResult result = parseArguments(line);
        EXPECT_FALSE(result.ok);
        EXPECT_THAT(result.error, HasSubstr("--wait: "));
    }
}
