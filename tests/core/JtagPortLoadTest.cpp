#include "board/Jtagport.h"
#include "tests/support/FakeJtag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace qbv;
using test::FakeJtag;
using testing::ElementsAre;

namespace {

struct LoadTest : testing::Test {
    FakeJtag fake;
};

} // namespace

TEST_F(LoadTest, MissingLibraryNamesTheFullPathTriedAndLeavesThePortUnloaded) {
    test::FakeLibraryDirectory directory;
    directory.removeLibrary();
    TJtagPort port{test::programFolder()};
    EXPECT_EQ(port.error(), JtagPortError::LibraryNotLoaded);
    EXPECT_EQ(port.errorString(), "fail to load dll - " + directory.libraryPath());
    EXPECT_FALSE(port.IsLoaded());
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(LoadTest, CompleteLibraryIsLoadedFromTheProgramDirectoryAndFreedWithThePort) {
    test::FakeLibraryDirectory directory;
    {
        TJtagPort port{test::programFolder()};
        EXPECT_TRUE(port.IsLoaded());
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.LibraryPath(), directory.libraryPath());
        EXPECT_EQ(port.error(), JtagPortError::NoError);
        EXPECT_THAT(fake.order(), ElementsAre(kFakeLoad));
    }
    EXPECT_THAT(fake.order(), ElementsAre(kFakeLoad, kFakeUnload));
}

#ifdef _WIN32
// A 32-bit library whose helper is no program: said in words, the system's sentence with no place of its
// own left unfilled ("Bad EXE format for %1.").
TEST_F(LoadTest, ThirtyTwoBitLibraryWhoseHelperCannotStartIsSaidInWords) {
    test::FakeLibraryDirectory directory;
    directory.useThirtyTwoBitLibrary();
    std::ofstream(directory.path() / "qbv-jtag32.exe", std::ios::trunc) << "not a program";
    TJtagPort port{test::programFolder()};
    EXPECT_EQ(port.error(), JtagPortError::LibraryNotLoaded);
    EXPECT_THAT(port.errorDetail(), testing::StartsWith(directory.libraryPath() + " is a 32-bit library"));
    EXPECT_THAT(port.errorDetail(), testing::Not(testing::HasSubstr("%")));
}
#else
// The loader names no width ("wrong ELF class: ELFCLASS32"): the header does.
TEST_F(LoadTest, ALibraryOfTheOtherWidthIsSaidInWords) {
    test::FakeLibraryDirectory directory;
    std::ofstream(directory.libraryPath(), std::ios::binary | std::ios::trunc)
        << std::string("\x7f"
                       "ELF\x01\x01\x01",
                       7)
        << std::string(57, '\0');
    TJtagPort port{test::programFolder()};
    EXPECT_EQ(port.errorDetail(),
              directory.libraryPath() + " is a 32-bit library; this 64-bit program cannot load it.");
}
#endif

class MissingExportTest : public LoadTest, public testing::WithParamInterface<jtag::Function> {};

TEST_P(MissingExportTest, RefusesTheLibraryAndFreesItAtOnce) {
    test::FakeLibraryDirectory directory(GetParam());
    {
        TJtagPort port{test::programFolder()};
        EXPECT_EQ(port.error(), JtagPortError::FunctionMissing);
        EXPECT_EQ(port.errorString(), "fail to find some API");
        EXPECT_FALSE(port.IsLoaded());
        EXPECT_THAT(fake.order(), ElementsAre(kFakeLoad, kFakeUnload));
        EXPECT_FALSE(port.Open());
    }
    EXPECT_THAT(fake.order(), ElementsAre(kFakeLoad, kFakeUnload));
}

INSTANTIATE_TEST_SUITE_P(EachOfTheTen, MissingExportTest,
                         testing::Range(jtag::kJtagInit, jtag::kFunctionCount),
                         [](const testing::TestParamInfo<jtag::Function>& info) {
                             return std::string(jtag::kFunctionNames[info.param].name);
                         });

namespace {

struct LinkTest : LoadTest {
    test::FakeLibraryDirectory directory;
    std::unique_ptr<TJtagPort> port = std::make_unique<TJtagPort>(test::programFolder());

    std::vector<int32_t> linkCalls() {
        std::vector<int32_t> result;
        for (int32_t function : fake.order())
            if (function != kFakeLoad && function != kFakeUnload)
                result.push_back(function);
        return result;
    }
};

} // namespace

TEST_F(LinkTest, OpenPassesTheFixedArgumentsAndOneLinkContextToEveryCall) {
    ASSERT_TRUE(port->Open());
    EXPECT_TRUE(port->IsOpen());
    const FakeCall init = fake.calls(kFakeInit).at(0);
    EXPECT_THAT(init.ints, ElementsAre(0, 0, 0, 0, 128, -1, 1, 0));
    EXPECT_STREQ(init.text, "jtag_term");
    ASSERT_NE(init.context, nullptr);
    EXPECT_EQ(fake.calls(kFakeAtlanticInit).at(0).context, init.context);
    port->Close();
    EXPECT_EQ(fake.calls(kFakeClose).at(0).context, init.context);
    EXPECT_THAT(linkCalls(), ElementsAre(kFakeInit, kFakeAtlanticInit, kFakeClose));
}

TEST_F(LinkTest, OpenOnAnOpenPortClosesTheLinkFirst) {
    ASSERT_TRUE(port->Open());
    ASSERT_TRUE(port->Open());
    EXPECT_THAT(linkCalls(),
                ElementsAre(kFakeInit, kFakeAtlanticInit, kFakeClose, kFakeInit, kFakeAtlanticInit));
}

TEST_F(LinkTest, CloseOnAClosedPortCallsNothing) {
    port->Close();
    ASSERT_TRUE(port->Open());
    port->Close();
    port->Close();
    EXPECT_THAT(linkCalls(), ElementsAre(kFakeInit, kFakeAtlanticInit, kFakeClose));
}

TEST_F(LinkTest, FailedInitLeavesThePortClosedWithoutFurtherCalls) {
    fake.push(kFakeInit, FakeJtag::step(-1));
    EXPECT_FALSE(port->Open());
    EXPECT_FALSE(port->IsOpen());
    port->Close();
    EXPECT_THAT(linkCalls(), ElementsAre(kFakeInit));
}

TEST_F(LinkTest, FailedAtlanticInitEndsTheHalfOpenLink) {
    fake.push(kFakeAtlanticInit, FakeJtag::step(3));
    EXPECT_FALSE(port->Open());
    EXPECT_FALSE(port->IsOpen());
    port->Close();
    EXPECT_THAT(linkCalls(), ElementsAre(kFakeInit, kFakeAtlanticInit, kFakeClose));
}

TEST_F(LinkTest, DestroyingThePortFreesTheLibraryButLeavesClosingToTheOwner) {
    ASSERT_TRUE(port->Open());
    port.reset();
    EXPECT_THAT(fake.order(), ElementsAre(kFakeLoad, kFakeInit, kFakeAtlanticInit, kFakeUnload));
}

TEST_F(LinkTest, TransfersOnAClosedPortDoNotReachTheLibrary) {
    const uint8_t ping = 0;
    uint8_t buffer = 0;
    EXPECT_FALSE(port->Write(&ping, 1, 3000, false));
    EXPECT_EQ(port->Read(&buffer, 1, 3000, false), 0);
    EXPECT_TRUE(linkCalls().empty());
}
