#include "platform/Clock.h"
#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/LocalChannel.h"
#include "platform/ProgramLocation.h"
#include "session/ScriptProtocol.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/FolderSpoil.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

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
    test::setProgramFolder("/somewhere/else/");
    EXPECT_EQ(test::programFolder(), "/somewhere/else/");
    test::setProgramFolder("");
    EXPECT_EQ(test::programFolder(), platform::executableDirectory());
}

// A panel started from its folder reached another way (through a link; on Windows also in other letters'
// case) is found by a qbv started from the folder itself.
TEST(ProgramLocation, ThePanelsNameIsTheSameWhicheverWayItsFolderIsReached) {
    test::TemporaryDirectory base;
    const fs::path real = base.path() / "real";
    fs::create_directory(real);
#ifdef _WIN32
    const fs::path other = base.path() / "REAL";
#else
    const fs::path other = base.path() / "link";
    fs::create_directory_symlink(real, other);
#endif
    test::setProgramFolder(test::utf8Of(other) + platform::pathSeparator());
    const std::string reachedOtherwise = session::panelServerName(test::programFolder());
    test::setProgramFolder(test::utf8Of(real) + platform::pathSeparator());
    const std::string direct = session::panelServerName(test::programFolder());
    test::setProgramFolder("");
    EXPECT_EQ(reachedOtherwise, direct);
    EXPECT_EQ(platform::canonicalFolder(test::utf8Of(other)), platform::canonicalFolder(test::utf8Of(real)));
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

// A folder named in any script reaches the loader whole (on Windows through its wide calls).
class LibraryFolderTest : public testing::TestWithParam<const char*> {};

TEST_P(LibraryFolderTest, LoadsFromAFolderSoNamed) {
    test::TemporaryDirectory folder(GetParam());
    fs::copy_file(test::FakeLibraryDirectory::builtLibrary(),
                  folder.path() / platform::jtagLibraryFileName());
    std::string failure;
    platform::LibraryHandle handle =
        platform::loadLibrary(folder.directory() + platform::jtagLibraryFileName(), &failure);
    ASSERT_NE(handle, nullptr) << failure;
    EXPECT_NE(platform::findSymbol(handle, "jtag_init"), nullptr);
    platform::freeLibrary(handle);
}

INSTANTIATE_TEST_SUITE_P(Scripts, LibraryFolderTest, testing::Values("Latin", "Jöns Ωmega 面板"));

#ifdef _WIN32

// Where the loader looks for the imports of a library loaded by path: beside the library (the vendor's
// client imports its neighbours in bin64), never in the working folder or on PATH, where anyone may
// leave a library of that name. The search libraries come from tests/windows.
fs::path searchLibrary(const char* name) {
    return test::pathFromUtf8(platform::executableDirectory()) / ".." / "search-libraries" / name;
}

struct ImportPlace {
    const char* name; // where the client's dependency lies: Beside, WorkingFolder or Path
    bool loads;
};

void PrintTo(const ImportPlace& place, std::ostream* out) {
    *out << place.name;
}

class LibraryImportsTest : public testing::TestWithParam<ImportPlace> {};

TEST_P(LibraryImportsTest, AreSoughtBesideTheLibraryOnly) {
    test::TemporaryDirectory client, working, onPath;
    const fs::path bin64 = client.path() / "bin64";
    fs::create_directory(bin64);
    fs::copy_file(searchLibrary("qbv_search_client.dll"), bin64 / "qbv_search_client.dll");
    const std::string place = GetParam().name;
    const fs::path dependency = place == "Beside"          ? bin64
                                : place == "WorkingFolder" ? working.path()
                                                           : onPath.path();
    fs::copy_file(searchLibrary("qbv_search_dependency.dll"), dependency / "qbv_search_dependency.dll");
    const fs::path before = fs::current_path();
    const std::string path = platform::environmentVariable("PATH");
    fs::current_path(working.path());
    platform::setEnvironmentVariable("PATH", onPath.directory() + ";" + path);
    std::string failure;
    platform::LibraryHandle handle =
        platform::loadLibrary(test::utf8Of(bin64 / "qbv_search_client.dll"), &failure);
    fs::current_path(before);
    platform::setEnvironmentVariable("PATH", path);
    EXPECT_EQ(handle != nullptr, GetParam().loads) << failure;
    platform::freeLibrary(handle);
}

INSTANTIATE_TEST_SUITE_P(Places, LibraryImportsTest,
                         testing::Values(ImportPlace{"Beside", true}, ImportPlace{"WorkingFolder", false},
                                         ImportPlace{"Path", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Set before main: what the system loads by name for the program never comes from the working folder.
TEST(DynamicLibrary, NothingIsLoadedByNameFromTheWorkingFolder) {
    test::TemporaryDirectory working;
    fs::copy_file(searchLibrary("qbv_search_dependency.dll"), working.path() / "qbv_search_dependency.dll");
    const fs::path before = fs::current_path();
    fs::current_path(working.path());
    HMODULE planted = LoadLibraryW(L"qbv_search_dependency.dll");
    fs::current_path(before);
    EXPECT_EQ(planted, nullptr);
    if (planted)
        FreeLibrary(planted);
}

#endif

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

#ifndef _WIN32
// With XDG_RUNTIME_DIR unset, the sockets lie in ${TMPDIR}/qbv-<uid>, which another user may have made first.
class UserRuntimeFolder : public testing::TestWithParam<test::Spoil> {};

TEST_P(UserRuntimeFolder, IsRefusedNamingTheFolderItsOwnerAndWhatToDo) {
    test::TemporaryDirectory temporary;
    const fs::path folder = temporary.path() / ("qbv-" + std::to_string(geteuid()));
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_all);
    if (!test::spoilFolder(folder, GetParam()))
        GTEST_SKIP() << "not for this user";
    struct stat status {};
    ASSERT_EQ(lstat(folder.c_str(), &status), 0);
    const std::string runtimeBefore = platform::environmentVariable("XDG_RUNTIME_DIR");
    const std::string temporaryBefore = platform::environmentVariable("TMPDIR");
    platform::setEnvironmentVariable("XDG_RUNTIME_DIR", "");
    platform::setEnvironmentVariable("TMPDIR", temporary.path().string());
    std::string refusal;
    EXPECT_EQ(platform::localServerAddress("qbv-test", &refusal), "");
    EXPECT_THAT(refusal, testing::AllOf(testing::HasSubstr(folder.string() + " "),
                                        testing::HasSubstr("(uid " + std::to_string(status.st_uid) + ")"),
                                        testing::HasSubstr("XDG_RUNTIME_DIR")));
    platform::setEnvironmentVariable("XDG_RUNTIME_DIR", runtimeBefore);
    platform::setEnvironmentVariable("TMPDIR", temporaryBefore);
}

INSTANTIATE_TEST_SUITE_P(Spoils, UserRuntimeFolder,
                         testing::Values(SymbolicLink, ForeignOwner, OthersMayWrite, GroupMayWrite));
#endif

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
