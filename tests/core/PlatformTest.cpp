#include "platform/Clock.h"
#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/ProgramLocation.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/FolderSpoil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace qbv;

TEST(Clock, ElapsedTimeSurvivesTheCountersWrap) {
    test::FakeClock clock(0xFFFFFF00u);
    const uint32_t start = platform::tickCount();
    clock.advance(0x300);
    EXPECT_EQ(platform::tickCount(), 0x200u);
    EXPECT_EQ(platform::elapsedSince(start), 0x300u);
}

TEST(Clock, ReplacementIsUsedUntilRemoved) {
    {
        test::FakeClock clock(42);
        EXPECT_EQ(&platform::clock(), &clock);
        platform::sleep(150);
        EXPECT_EQ(platform::tickCount(), 192u);
        EXPECT_EQ(clock.sleeps(), std::vector<uint32_t>{150});
    }
    EXPECT_EQ(&platform::clock(), &platform::systemClock());
}

TEST(Clock, SystemClockAdvancesWhileSleeping) {
    platform::Clock& system = platform::systemClock();
    const uint32_t start = system.tickCount();
    system.sleep(40);
    // The Windows tick moves in steps of 10 to 16 ms, so only a lower bound is meaningful.
    EXPECT_GE(static_cast<uint32_t>(system.tickCount() - start), 20u);
}

TEST(ProgramLocation, ExecutableDirectoryHoldsThisProgramAndEndsWithTheSeparator) {
    const std::string directory = platform::executableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), platform::pathSeparator());
    EXPECT_TRUE(fs::exists(directory + "qbv_core_tests" + QBV_EXE_SUFFIX)) << directory;
    EXPECT_TRUE(platform::isAbsolutePath(directory));
}

TEST(ProgramLocation, ProgramDirectoryCanBePointedElsewhereAndBack) {
    platform::setProgramDirectory("/somewhere/else/");
    EXPECT_EQ(platform::programDirectory(), "/somewhere/else/");
    platform::setProgramDirectory("");
    EXPECT_EQ(platform::programDirectory(), platform::executableDirectory());
}

TEST(ProgramLocation, JtagLibraryHasThisSystemsName) {
#ifdef _WIN32
    EXPECT_STREQ(platform::jtagLibraryFileName(), "alt_jtaglib.dll");
    EXPECT_EQ(platform::pathSeparator(), '\\');
#else
    EXPECT_STREQ(platform::jtagLibraryFileName(), "alt_jtaglib.so");
    EXPECT_EQ(platform::pathSeparator(), '/');
#endif
}

TEST(DynamicLibrary, LoadsByFullPathFindsExportsAndFrees) {
    const fs::path library = test::FakeLibraryDirectory::builtLibrary();
    platform::LibraryHandle handle = platform::loadLibrary(library.string());
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(platform::findSymbol(handle, "jtag_atlantic_write"), nullptr);
    EXPECT_EQ(platform::findSymbol(handle, "jtag_no_such_function"), nullptr);
    platform::freeLibrary(handle);
    EXPECT_EQ(platform::findSymbol(nullptr, "jtag_init"), nullptr);
}

TEST(DynamicLibrary, NeverLooksInTheCurrentDirectoryOrTheSearchPath) {
    // The suite runs with the fake library on the loader's search path under the vendor's file name;
    // here it also lies in the current directory. Neither may be picked up.
    test::TemporaryDirectory stranger;
    fs::copy_file(test::FakeLibraryDirectory::builtLibrary(),
                  stranger.path() / platform::jtagLibraryFileName());
    const fs::path before = fs::current_path();
    fs::current_path(stranger.path());
    EXPECT_EQ(platform::loadLibrary(platform::jtagLibraryFileName()), nullptr);
    EXPECT_EQ(
        platform::loadLibrary(std::string(".") + platform::pathSeparator() + platform::jtagLibraryFileName()),
        nullptr);
    test::TemporaryDirectory empty;
    EXPECT_EQ(platform::loadLibrary(empty.directory() + platform::jtagLibraryFileName()), nullptr);
    fs::current_path(before);
}

TEST(Environment, SetReadAndRemove) {
    platform::setEnvironmentVariable("QBV_TEST_VARIABLE", "C:\\Vendor\\quartus");
    EXPECT_EQ(platform::environmentVariable("QBV_TEST_VARIABLE"), "C:\\Vendor\\quartus");
    platform::setEnvironmentVariable("QBV_TEST_VARIABLE", "");
    EXPECT_EQ(platform::environmentVariable("QBV_TEST_VARIABLE"), "");
}

class UserCacheFolder : public testing::TestWithParam<test::Spoil> {};

TEST_P(UserCacheFolder, IsRefusedWithTheReasonWhenOthersCouldSwapItsFiles) {
    test::TemporaryDirectory base;
    const fs::path folder = base.path() / "qbv-control-panel";
    fs::create_directory(folder);
    if (!test::spoilFolder(folder, GetParam()))
        GTEST_SKIP() << "not on this system, or not for this user";
    platform::setEnvironmentVariable("XDG_CACHE_HOME", base.path().string());
    std::string refusal;
    EXPECT_EQ(platform::userCacheFolder(&refusal), "");
    EXPECT_NE(refusal.find(folder.string()), std::string::npos) << refusal;
    platform::setEnvironmentVariable("XDG_CACHE_HOME", "");
}

using enum test::Spoil;
INSTANTIATE_TEST_SUITE_P(Spoils, UserCacheFolder,
                         testing::Values(SymbolicLink, ForeignOwner, OthersMayWrite, GroupMayWrite));

// As a relative XDG_CACHE_HOME, a relative HOME is ignored rather than taken from the working folder.
TEST(UserCacheFolder, RelativeHomeIsIgnored) {
    test::TemporaryDirectory working;
    const fs::path before = fs::current_path();
    const std::string home = platform::environmentVariable("HOME");
    fs::current_path(working.path());
    platform::setEnvironmentVariable("HOME", "home");
    platform::setEnvironmentVariable("XDG_CACHE_HOME", "cache");
    std::error_code ignored; // the real home's folder is left only when it holds something
    fs::remove(platform::userCacheFolder(), ignored);
    platform::setEnvironmentVariable("HOME", home);
    platform::setEnvironmentVariable("XDG_CACHE_HOME", "");
    fs::current_path(before);
    EXPECT_TRUE(fs::is_empty(working.path()));
}
