// The panel with the JTAG library for real boards, as it runs from its own program folder, over the fake
// of the vendor's JTAG-UART client library, which hands the link on to a virtual board process.

#include "PanelFixture.h"

#include "platform/Environment.h"
#include "platform/ProgramLocation.h"
#include "tests/fakeclient/FakeClientScript.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/TemporaryDirectory.h"
#include "widgets/TSpeedButton.h"

#include <QProcess>
#include <fstream>
#include <sstream>

using qbv::test::PanelTest;

namespace {

class VendorEditionPanelTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        qbv::test::setProgramFolder(QBV_VENDOR_EDITION_DIR "/");
        for (const auto& [name, value] : variables())
            qbv::platform::setEnvironmentVariable(name, value);
    }
    void TearDown() override {
        for (const auto& [name, value] : variables())
            qbv::platform::setEnvironmentVariable(name, "");
        qbv::test::setProgramFolder("");
    }
    std::vector<std::pair<const char*, std::string>> variables() const {
        return {{"QBV_JTAG_CLIENT_DIR", QBV_FAKE_CLIENT_DIR "/"},
                {kFakeClientBoardVariable, kFakeBoardVirtual},
                {kFakeClientLogVariable, log.file("calls.log")}};
    }
    std::string calls() const {
        std::ifstream file(log.file("calls.log"));
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    qbv::test::TemporaryDirectory log;
};

} // namespace

TEST_F(VendorEditionPanelTest, ConnectsSwitchesAnLedShowsAKeyAndLosesTheBrokenLink) {
    startUp();
    ASSERT_TRUE(controlsShown()) << status().toStdString();
    clickOn(led(0));
    EXPECT_EQ(status(), "Update LED success");
    EXPECT_EQ(boardState().leds, 0x80);
    EXPECT_NE(calls().find("data=01 80"), std::string::npos);

    ASSERT_TRUE(board.control().press(1));
    EXPECT_TRUE(waitUntil([&] { return keysShown() == 0x02; }));

    ASSERT_TRUE(board.control().unplug());
    EXPECT_TRUE(waitUntil([&] { return status() == "Lost FPGA connection"; }));
    EXPECT_TRUE(form->SpeedButtonConnect->isVisible());
}

TEST_F(VendorEditionPanelTest, QbvWhileThePanelHoldsTheLinkGoesThroughThePanel) {
    startUp();
    ASSERT_TRUE(controlsShown());
    QProcess qbv;
    qbv.start(QStringLiteral(QBV_VENDOR_EDITION_DIR "/qbv"), {QStringLiteral("ping")});
    ASSERT_TRUE(waitUntil([&] { return qbv.state() == QProcess::NotRunning; }));
    EXPECT_EQ(qbv.exitCode(), 0) << qbv.readAllStandardError().toStdString();
}
