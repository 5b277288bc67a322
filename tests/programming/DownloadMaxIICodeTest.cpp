#include "programming/DownloadMaxIICode.h"
#include "ProgrammerTesting.h"
#include "common/Texts.h"
#include "common/Format.h"
#include "platform/ProgramLocation.h"
#include "programming/ChainDefinitionFile.h"
#include "programming/QuartusLocation.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingUiHost.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace qbv;
using programming::DownloadMaxIICode;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A program directory with the design file, an installed tool chain with the test programmer, and one
// log of the statuses and boxes in the order the user sees them.
class DownloadMaxIICodeTest : public testing::Test {
protected:
    DownloadMaxIICodeTest() {
        platform::setProgramDirectory(program.directory());
        std::ofstream(programming::designFilePath()) << "design";
        test::installTestProgrammer(programming::programmerPath(install.path().string()));
        ui.onBox = [this](const test::RecordingUiHost::Box& box) {
            seen.push_back((box.kind == BoxKind::Error ? "error box: " : "information box: ") + box.text);
        };
    }
    ~DownloadMaxIICodeTest() override { platform::setProgramDirectory(""); }

    bool download(uint32_t timeoutMs = programming::kProgrammerTimeoutMs) {
        return DownloadMaxIICode(
            [this](const std::string& text, colour::Colour colour) {
                const char* name = colour == colour::kBlue    ? "blue"
                                   : colour == colour::kGreen ? "green"
                                                              : "red";
                seen.push_back(std::string(name) + ": " + text);
            },
            timeoutMs);
    }

    // What every run shows first and, when it fails, last.
    std::vector<std::string> failedWith(const std::string& box) const {
        return {std::string("blue: ") + text::kDownloadStart, "error box: " + box,
                std::string("red: ") + text::kDownloadFail};
    }

    test::TemporaryDirectory program;
    test::TemporaryDirectory install;
    test::RecordingUiHost ui;
    std::vector<std::string> seen;
};

} // namespace

TEST_F(DownloadMaxIICodeTest, SucceedsWhenTheProgrammerEndsWithZero) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0);
    EXPECT_TRUE(download());
    EXPECT_EQ(seen, (std::vector<std::string>{std::string("blue: ") + text::kDownloadStart,
                                              std::string("blue: ") + text::kDownloadRunning,
                                              std::string("green: ") + text::kDownloadSuccess}));
    EXPECT_EQ(orders.recorded("argv"),
              (std::vector<std::string>{"-c", "USB-Blaster[USB-0]", programming::chainFilePath()}));
    const std::string chainFile = fileBytes(programming::chainFilePath());
    EXPECT_EQ(chainFile, programming::chainDefinitionText(programming::designFilePath()));
    std::string directory = program.directory();
    programming::BackslashesToSlashes(directory);
    EXPECT_NE(chainFile.find("Path(\"" + directory + "\") File(\"QBV_Control_Panel.pof\")"),
              std::string::npos);
}

TEST_F(DownloadMaxIICodeTest, InstallDirectoryEndingWithASeparatorIsUsedAsRead) {
    const std::string asRead = install.directory();
    test::RegisteredInstall registered(asRead);
    test::ProgrammerOrders orders(0);
    EXPECT_EQ(programming::FindQuartusDirectory(), asRead);
    EXPECT_TRUE(download());
    EXPECT_TRUE(fs::equivalent(orders.recorded("module").at(0), programming::programmerPath(asRead)));
}

TEST_F(DownloadMaxIICodeTest, ProgrammerFailuresShowOnlyTheirOwnBox) {
    test::RegisteredInstall registered(install.path().string());
    {
        test::ProgrammerOrders orders(3);
        EXPECT_FALSE(download());
        EXPECT_EQ(seen.back(), std::string("red: ") + text::kDownloadFail);
        EXPECT_TRUE(ui.boxes.empty());
    }
    seen.clear();
    test::ProgrammerOrders orders(1);
    EXPECT_FALSE(download());
    EXPECT_EQ(seen, (std::vector<std::string>{std::string("blue: ") + text::kDownloadStart,
                                              std::string("blue: ") + text::kDownloadRunning,
                                              "information box: ExitCode:1h",
                                              std::string("red: ") + text::kDownloadFail}));
}

TEST_F(DownloadMaxIICodeTest, TimeOutIsTheCallersToChoose) {
    test::RegisteredInstall registered(install.path().string());
    test::FakeClock clock;
    ui.onProcess = [&] { clock.advance(600); };
    test::ProgrammerOrders orders(0, 300);
    EXPECT_FALSE(download(1000));
    EXPECT_EQ(ui.processed, 2);
    EXPECT_TRUE(orders.waitForEnd(10000));
}

TEST_F(DownloadMaxIICodeTest, WithoutAToolChainNothingIsWrittenOrRun) {
    test::forgetInstall();
    test::ProgrammerOrders orders(0);
    EXPECT_FALSE(download());
    EXPECT_EQ(seen, failedWith(text::kNoQuartus));
    EXPECT_FALSE(fs::exists(programming::chainFilePath()));
    EXPECT_FALSE(orders.started());
}

TEST_F(DownloadMaxIICodeTest, MissingFilesLeaveAnOldChainFileAlone) {
    test::RegisteredInstall registered(install.path().string());
    std::ofstream(programming::chainFilePath()) << "old";
    const std::string programmer = programming::programmerPath(install.path().string());

    fs::remove(programming::designFilePath());
    EXPECT_FALSE(download());
    EXPECT_EQ(seen, failedWith(formatText(text::kNoDesignFile, programming::designFilePath().c_str())));

    seen.clear();
    fs::remove(programmer);
    EXPECT_FALSE(download());
    EXPECT_EQ(seen, failedWith(formatText(text::kNoProgrammer, programmer.c_str())));
    EXPECT_EQ(fileBytes(programming::chainFilePath()), "old");
}

TEST_F(DownloadMaxIICodeTest, ChainFileThatCannotBeCreatedStopsTheJob) {
    test::RegisteredInstall registered(install.path().string());
    test::ProgrammerOrders orders(0);
    fs::create_directory(programming::chainFilePath());
    EXPECT_FALSE(download());
    EXPECT_EQ(seen, failedWith(formatText(text::kChainFileNotCreated, programming::chainFilePath().c_str())));
    EXPECT_FALSE(orders.started());
}

TEST_F(DownloadMaxIICodeTest, ProgrammerThatCannotStartFailsWithoutABox) {
    test::RegisteredInstall registered(install.path().string());
    const std::string programmer = programming::programmerPath(install.path().string());
    fs::remove(programmer);
    std::ofstream(programmer) << "not a program";
    EXPECT_FALSE(download());
    EXPECT_EQ(seen, (std::vector<std::string>{std::string("blue: ") + text::kDownloadStart,
                                              std::string("blue: ") + text::kDownloadRunning,
                                              std::string("red: ") + text::kDownloadFail}));
}
