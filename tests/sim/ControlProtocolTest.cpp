#include "sim/core/BoardHost.h"
#include "sim/core/BoardState.h"
#include "sim/core/ControlInterpreter.h"
#include "sim/core/DesignFile.h"
#include "sim/core/Hex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace qbv::sim;
using testing::StartsWith;

namespace {

struct ControlProtocolTest : testing::Test {
    BoardHost host;

    std::string run(const std::string& line) { return runControlLine(host, line).reply; }

    BoardState state() {
        BoardState parsed;
        const std::string reply = run("state");
        EXPECT_THAT(reply, StartsWith("ok "));
        EXPECT_TRUE(parseState(reply.substr(3), parsed)) << reply;
        return parsed;
    }

    static std::string programLine(const std::string& content) {
        return "program " + toHex(std::vector<uint8_t>(content.begin(), content.end()));
    }
};

} // namespace

TEST_F(ControlProtocolTest, KeysArePressedAndReleasedByNumberOrAllAtOnce) {
    EXPECT_EQ(run("press 0"), "ok");
    EXPECT_EQ(run("press 3"), "ok");
    EXPECT_EQ(host.board().keys(), 0x09);
    EXPECT_EQ(run("release 0"), "ok");
    EXPECT_EQ(host.board().keys(), 0x08);
    EXPECT_EQ(run("keys 0x5"), "ok");
    EXPECT_EQ(host.board().keys(), 0x05);
    for (const char* bad : {"press 4", "press -1", "press", "press 1 2", "release x", "keys 16", "keys"})
        EXPECT_THAT(run(bad), StartsWith("error ")) << bad;
    EXPECT_EQ(host.board().keys(), 0x05);
}

TEST_F(ControlProtocolTest, StateReportsTheWholeBoard) {
    host.board().accept(std::vector<uint8_t>{0x01, 0x81, 0x05, 0xD7, 0x05, 0x80}.data(), 6, 0);
    host.board().setKeys(0x02);
    host.faults().set(Fault::Partial, 3);
    host.faults().setDelay(1500, FaultPlan::kUntilCleared);
    EXPECT_EQ(run("state"), "ok programmed=1 plugged=1 link=0 leds=0x81 pins=0,87 keys=0x2 received=6 sent=0 "
                            "stalls-cleared=0 stall=0 partial=3 zero=0 drop=0 delay=-1 delay-ms=1500");
    const BoardState parsed = state();
    EXPECT_EQ(parsed, snapshot(host));
    EXPECT_EQ(parsed.fault(Fault::Delay), FaultPlan::kUntilCleared);
}

TEST_F(ControlProtocolTest, StateTextThatIsIncompleteIsRejected) {
    BoardState parsed;
    parsed.leds = 0x42;
    const std::string text = formatState(snapshot(host));
    EXPECT_FALSE(parseState(text.substr(0, text.find(" keys=")), parsed));
    EXPECT_FALSE(parseState("programmed=1 pins=1,x", parsed));
    EXPECT_EQ(parsed.leds, 0x42); // untouched on failure
}

TEST_F(ControlProtocolTest, CableEraseAndCounters) {
    EXPECT_EQ(run("unplug"), "ok");
    EXPECT_FALSE(state().plugged);
    EXPECT_EQ(run("plug"), "ok");
    EXPECT_TRUE(state().plugged);
    host.board().accept(std::vector<uint8_t>{0x01, 0x81}.data(), 2, 0);
    EXPECT_EQ(run("erase"), "ok");
    EXPECT_FALSE(state().programmed);
    EXPECT_EQ(state().leds, 0x00);
    EXPECT_EQ(run("counters reset"), "ok");
    EXPECT_EQ(state().received, 0u);
}

TEST_F(ControlProtocolTest, ProgrammingTakesOnlyAnIntactDesignFile) {
    run("erase");
    const std::string good = writeDesignFile(controllerDesign());
    std::string damaged = good;
    damaged[damaged.find("data ") + 10] ^= 0x01;
    EXPECT_EQ(run(programLine(damaged)), "error damaged design file");
    EXPECT_FALSE(host.board().programmed());
    EXPECT_THAT(run("program xyz"), StartsWith("error "));
    EXPECT_THAT(run("program"), StartsWith("error "));
    EXPECT_EQ(run(programLine(good)), "ok programmed QBV_Control_Panel");
    EXPECT_TRUE(host.board().programmed());
}

TEST_F(ControlProtocolTest, FaultsTakeACountOrLastUntilCleared) {
    EXPECT_EQ(run("fault stall 2"), "ok");
    EXPECT_EQ(run("fault partial"), "ok");
    EXPECT_EQ(run("fault zero 1"), "ok");
    EXPECT_EQ(run("fault drop 5"), "ok");
    EXPECT_EQ(run("fault delay 800 2"), "ok");
    BoardState s = state();
    EXPECT_EQ(s.fault(Fault::Stall), 2);
    EXPECT_EQ(s.fault(Fault::Partial), FaultPlan::kUntilCleared);
    EXPECT_EQ(s.fault(Fault::Zero), 1);
    EXPECT_EQ(s.fault(Fault::Drop), 5);
    EXPECT_EQ(s.fault(Fault::Delay), 2);
    EXPECT_EQ(s.delayMs, 800u);
    EXPECT_EQ(run("fault clear"), "ok");
    s = state();
    EXPECT_EQ(s.faults, (std::array<int, kFaultKinds>{}));
    EXPECT_EQ(s.delayMs, 0u);
}

TEST_F(ControlProtocolTest, MalformedRequestsAreRefusedWithAReason) {
    for (const char* bad : {"", "   ", "fault", "fault jam", "fault stall 0", "fault stall -3",
                            "fault stall 1 2", "fault delay", "fault delay x", "fault delay 100 0",
                            "fault delay 999999999", "state now", "counters", "hello", "quit now"})
        EXPECT_THAT(run(bad), StartsWith("error ")) << '"' << bad << '"';
    EXPECT_EQ(snapshot(host), BoardState(snapshot(BoardHost())));
}

TEST_F(ControlProtocolTest, QuitIsAnsweredAndAsked) {
    const ControlAnswer answer = runControlLine(host, "quit");
    EXPECT_EQ(answer.reply, "ok");
    EXPECT_TRUE(answer.quit);
    EXPECT_FALSE(runControlLine(host, "state").quit);
}
