// The programming steps without a front end: the checks in their order, the chain definition file, the
// programmer's run, and what each failure records for the front end to show.

#include "ProgrammerTesting.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Files.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"
#include "programming/ChainDefinitionFile.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FolderSpoil.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace qbv;
using programming::ProgrammingError;
using programming::ProgrammingJob;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(test::pathFromUtf8(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a job left for its front end.
struct Outcome {
    bool ok = false;
    ProgrammingError error = ProgrammingError::NoError;
    std::string text;
    bool ran = false; // the checks passed and the programmer was run
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* out) {
    *out << (outcome.ok ? "ok" : "failed") << ", error " << static_cast<int>(outcome.error) << " \""
         << outcome.text << "\"" << (outcome.ran ? ", ran" : "");
}

// A program directory with the design file and an installed tool chain with the test programmer.
class ProgrammingStepsTest : public testing::Test {
protected:
    ProgrammingStepsTest() {
        test::setProgramFolder(program.directory());
        std::ofstream(programming::designFilePath(test::programFolder())) << "design";
        test::installTestProgrammer(programming::programmerPath(install.path().string()));
    }
    ~ProgrammingStepsTest() override { test::setProgramFolder(""); }

    // Both steps, as a front end runs them: the programmer only after the checks passed.
    Outcome runJob(uint32_t timeoutMs = programming::kProgrammerTimeoutMs) {
        ProgrammingJob job(test::programFolder(), timeoutMs);
        job.setMessagePump([this] {
            ++pumped;
            if (onPump)
                onPump();
        });
        Outcome outcome;
        outcome.ran = job.prepare();
        outcome.ok = outcome.ran && job.run();
        outcome.error = job.error();
        outcome.text = job.errorString();
        return outcome;
    }
    static Outcome failedCheck(ProgrammingError error, const std::string& text) {
        return {false, error, text, false};
    }

    test::TemporaryDirectory program;
    test::TemporaryDirectory install;
    int pumped = 0;
    std::function<void()> onPump;
};

} // namespace

TEST_F(ProgrammingStepsTest, SucceedsWhenTheProgrammerEndsWithZero) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0);
    EXPECT_EQ(runJob(), (Outcome{true, ProgrammingError::NoError, "", true}));
    EXPECT_EQ(orders.recorded("argv"),
              (std::vector<std::string>{"-c", "USB-Blaster[USB-0]",
                                        programming::chainFilePath(test::programFolder())}));
    const std::string chainFile = fileBytes(programming::chainFilePath(test::programFolder()));
    EXPECT_EQ(chainFile,
              programming::chainDefinitionText(programming::designFilePath(test::programFolder())));
    std::string directory = program.directory();
    programming::BackslashesToSlashes(directory);
    EXPECT_NE(chainFile.find("Path(\"" + directory + "\") File(\"QBV_Control_Panel.pof\")"),
              std::string::npos);
}

TEST_F(ProgrammingStepsTest, InstallDirectoryEndingWithASeparatorIsUsedAsRead) {
    const std::string asRead = install.directory();
    test::RegisteredInstall registered(asRead);
    test::ProgrammerOrders orders(0);
    EXPECT_EQ(programming::FindQuartusDirectory(), asRead);
    EXPECT_TRUE(runJob().ok);
    EXPECT_TRUE(fs::equivalent(orders.recorded("module").at(0), programming::programmerPath(asRead)));
}

TEST_F(ProgrammingStepsTest, ProgrammerFailuresAreToldOnlyByAnUnexpectedExitCode) {
    test::RegisteredInstall registered(install.path().string());
    {
        test::ProgrammerOrders orders(3);
        EXPECT_EQ(runJob(), (Outcome{false, ProgrammingError::ProgrammerFailed, "", true}));
        EXPECT_EQ(programming::messageKindOf(ProgrammingError::ProgrammerFailed), std::nullopt);
    }
    test::ProgrammerOrders orders(1);
    EXPECT_EQ(runJob(), (Outcome{false, ProgrammingError::UnexpectedExitCode, "ExitCode:1h", true}));
    EXPECT_EQ(programming::messageKindOf(ProgrammingError::UnexpectedExitCode), MessageKind::Information);
}

TEST_F(ProgrammingStepsTest, TimeOutIsTheCallersToChoose) {
    test::RegisteredInstall registered(install.path().string());
    test::FakeClock clock;
    onPump = [&] { clock.advance(600); };
    test::ProgrammerOrders orders(0, 300);
    EXPECT_EQ(runJob(1000), (Outcome{false, ProgrammingError::TimedOut, "", true}));
    // Late at the second pass, then ended and seen gone (the system may take a pass or two to end it).
    EXPECT_GE(pumped, 3);
    EXPECT_LE(pumped, 6);
    EXPECT_FALSE(orders.waitForEnd(1000)); // it never came to its own end
}

TEST_F(ProgrammingStepsTest, WithoutAToolChainNothingIsWrittenOrRun) {
    test::forgetInstall();
    test::ProgrammerOrders orders(0);
    EXPECT_EQ(runJob(), failedCheck(ProgrammingError::NoToolChain, text::kNoQuartus));
    EXPECT_EQ(programming::messageKindOf(ProgrammingError::NoToolChain), MessageKind::Error);
    EXPECT_FALSE(fs::exists(programming::chainFilePath(test::programFolder())));
    EXPECT_FALSE(orders.started());
}

TEST_F(ProgrammingStepsTest, MissingFilesLeaveAnOldChainFileAlone) {
    test::RegisteredInstall registered(install.path().string());
    std::ofstream(programming::chainFilePath(test::programFolder())) << "old";
    const std::string programmer = programming::programmerPath(install.path().string());

    fs::remove(programming::designFilePath(test::programFolder()));
    EXPECT_EQ(runJob(), failedCheck(ProgrammingError::NoDesignFile,
                                    formatText(text::kNoDesignFile,
                                               programming::designFilePath(test::programFolder()).c_str())));
    fs::remove(programmer);
    EXPECT_EQ(runJob(), failedCheck(ProgrammingError::NoProgrammer,
                                    formatText(text::kNoProgrammer, programmer.c_str())));
    EXPECT_EQ(fileBytes(programming::chainFilePath(test::programFolder())), "old");
}

TEST_F(ProgrammingStepsTest, AProgramFolderThatTakesNoFileSendsTheChainFileToTheUsersOwnFolder) {
    test::RegisteredInstall registered(install.path().string());
    test::TemporaryDirectory user;
    test::UserCacheBase cache(user.path());
    test::ProgrammerOrders orders(0);
    fs::create_directory(programming::chainFilePath(
        test::programFolder())); // as a folder the user may not write would refuse it
    ProgrammingJob job(test::programFolder());
    ASSERT_TRUE(job.prepare());
    ASSERT_TRUE(job.run());
    const std::string written = platform::userCacheFolder() + programming::kChainFileName;
    EXPECT_EQ(job.chainFile(), written);
    EXPECT_EQ(written.rfind(user.directory(), 0), 0u) << written;
    // The same bytes: the design file is still the one beside the program.
    EXPECT_EQ(fileBytes(written),
              programming::chainDefinitionText(programming::designFilePath(test::programFolder())));
    EXPECT_EQ(orders.recorded("argv"), (std::vector<std::string>{"-c", "USB-Blaster[USB-0]", written}));
}

TEST_F(ProgrammingStepsTest, ChainFileThatCannotBeCreatedAnywhereStopsTheJob) {
    test::RegisteredInstall registered(install.path().string());
    test::TemporaryDirectory user;
    std::ofstream(user.path() / "not-a-folder") << "";
    test::UserCacheBase cache(user.path() / "not-a-folder"); // no folder can be made under a file
    test::ProgrammerOrders orders(0);
    fs::create_directory(programming::chainFilePath(test::programFolder()));
    EXPECT_EQ(runJob(), failedCheck(ProgrammingError::ChainFileNotCreated,
                                    formatText(text::kChainFileNotCreated,
                                               programming::chainFilePath(test::programFolder()).c_str())));
    EXPECT_FALSE(orders.started());
}

TEST_F(ProgrammingStepsTest, ProgrammerThatCannotStartIsNamedWithTheSystemsReasonButNotShown) {
    test::RegisteredInstall registered(install.path().string());
    const std::string programmer = programming::programmerPath(install.path().string());
    fs::remove(programmer);
    std::ofstream(programmer) << "not a program";
    const Outcome outcome = runJob();
    EXPECT_EQ(outcome.error, ProgrammingError::ProgrammerNotStarted);
    EXPECT_EQ(outcome.text.rfind("cannot start " + programmer + ": ", 0), 0u) << outcome.text;
    EXPECT_EQ(programming::messageKindOf(outcome.error), std::nullopt);
}

#ifdef _WIN32

// A 32-bit installer's entry lands in the registry's 32-bit view, and today's tool chains keep their
// programmer in bin64\ only: the job runs the programmer where it lies, and says which view named it.
TEST_F(ProgrammingStepsTest, EitherRegistryViewNamesTheToolChainAndItsProgrammerIsRunFromBinOrBin64) {
    struct Row {
        const char* view;
        const char* folder;
        const char* namedBy;
    };
    for (const Row& row :
         {Row{"/reg:32", "bin", "(its 32-bit view)"}, Row{"/reg:64", "bin64", "(its 64-bit view)"}}) {
        SCOPED_TRACE(row.folder);
        const test::TemporaryDirectory toolChain;
        const fs::path programmer = toolChain.path() / row.folder / platform::programmerFileName();
        test::installTestProgrammer(programmer);
        test::RegisteredInstall registered(toolChain.path().string(), "REG_SZ", row.view);
        EXPECT_THAT(programming::toolChainInUse(test::programFolder()).namedBy,
                    testing::EndsWith(row.namedBy));
        test::ProgrammerOrders orders(0);
        EXPECT_TRUE(runJob().ok);
        ASSERT_EQ(orders.recorded("module").size(), 1u);
        EXPECT_TRUE(fs::equivalent(orders.recorded("module")[0], programmer));
    }
}

#endif

class ToolChainDistrust : public ProgrammingStepsTest, public testing::WithParamInterface<test::Spoil> {};

TEST_P(ToolChainDistrust, RefusesTheToolChainWithItsBoxAndRunsNothing) {
    if (!test::spoilFolder(install.path(), GetParam()))
        GTEST_SKIP() << "not on this system, or not for this user";
    test::RegisteredInstall registered(install.path().string());
    EXPECT_EQ(runJob(), failedCheck(ProgrammingError::NoToolChain, text::kNoQuartus));
}

INSTANTIATE_TEST_SUITE_P(Spoils, ToolChainDistrust,
                         testing::Values(test::Spoil::OthersMayWrite, test::Spoil::ForeignOwner));

// The program's folder, the tool chain's and the user's own, named in any script, reach the system whole
// (on Windows through its wide calls): the design file is found, the chain definition file is written in
// the user's folder when the program's takes none, and the registered programmer runs on it.
class ProgrammingFoldersTest : public testing::TestWithParam<const char*> {};

TEST_P(ProgrammingFoldersTest, ProgramsWithEveryFolderSoNamed) {
    const test::TemporaryDirectory program(GetParam()), install(GetParam()), user(GetParam());
    test::setProgramFolder(program.directory());
    std::ofstream(test::pathFromUtf8(programming::designFilePath(test::programFolder()))) << "design";
    const std::string programmer = programming::programmerPath(test::utf8Of(install.path()));
    test::installTestProgrammer(test::pathFromUtf8(programmer));
    test::RegisteredInstall registered(test::utf8Of(install.path()));
    test::UserCacheBase cache(user.path());
    test::ProgrammerOrders orders(0);
    fs::create_directory(test::pathFromUtf8(programming::chainFilePath(test::programFolder())));
    ProgrammingJob job(test::programFolder());
    const bool ran = job.prepare() && job.run();
    test::setProgramFolder("");
    ASSERT_TRUE(ran) << job.errorString();
    const std::string written = platform::userCacheFolder() + programming::kChainFileName;
    EXPECT_EQ(written.rfind(user.directory(), 0), 0u) << written;
    EXPECT_EQ(job.chainFile(), written);
    EXPECT_EQ(fileBytes(written),
              programming::chainDefinitionText(program.directory() + "QBV_Control_Panel.pof"));
    EXPECT_EQ(orders.recorded("module"), std::vector<std::string>{programmer});
    EXPECT_EQ(orders.recorded("argv"), (std::vector<std::string>{"-c", "USB-Blaster[USB-0]", written}));
}

INSTANTIATE_TEST_SUITE_P(Scripts, ProgrammingFoldersTest, testing::Values("Latin", "Jöns Ωmega 面板"));
