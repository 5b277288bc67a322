// The panel's programming steps (without the window) running the stand-in from its tool chain directory,
// with the design file beside the program: what the user is shown for each way the stand-in ends.

#include "StandinTesting.h"

#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "programming/ChainDefinitionFile.h"
#include "programming/ProgrammingJob.h"
#include "sim/standin/ProgrammerSettings.h"

#include <gmock/gmock.h>

#include <filesystem>

using namespace qbv;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class PanelJobTest : public test::StandinTest {
protected:
    void SetUp() override {
        StandinTest::SetUp();
        std::filesystem::copy_file(test::builtDesignFile(), folder.path() / "QBV_Control_Panel.pof");
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", QBV_STANDIN_QUARTUS_DIR);
    }
    void TearDown() override {
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
        StandinTest::TearDown();
    }

    // The steps as the panel runs them; what the panel would show of a failure is noted.
    bool download() {
        programming::ProgrammingJob job(programFolder());
        const bool ok = job.prepare() && job.run();
        if (programming::messageKindOf(job.error()))
            shown.push_back(job.errorString());
        return ok;
    }

    // The folder laid out as the program's, with the design file in it.
    std::string programFolder() const { return folder.path().string() + "/"; }

    std::vector<std::string> shown;
};

} // namespace

TEST_F(PanelJobTest, ProgramsABlankBoardThroughTheStandin) {
    EXPECT_TRUE(download());
    EXPECT_THAT(shown, IsEmpty());
    EXPECT_TRUE(programmed());
    EXPECT_EQ(test::readFile(programming::chainFilePath(programFolder())),
              programming::chainDefinitionText(programming::designFilePath(programFolder())));
}

TEST_F(PanelJobTest, UnpluggedCableFailsWithoutABox) {
    ASSERT_TRUE(board.control().unplug());
    EXPECT_FALSE(download());
    EXPECT_THAT(shown, IsEmpty());
}

TEST_F(PanelJobTest, DamagedDesignFileIsNamedByItsExitCode) {
    test::writeFile(programming::designFilePath(programFolder()), "QBV design file 1\n");
    EXPECT_FALSE(download());
    EXPECT_THAT(shown, ElementsAre("ExitCode:5h"));
    EXPECT_FALSE(programmed());
}
