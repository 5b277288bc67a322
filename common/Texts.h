#pragma once

// The program's own words, shared by the panel and the command-line companion. Formats with "%s" take
// the board's name or a path.

namespace qbv::text {

constexpr const char* kBoardName = "QB-vela";

// JTAG access library
constexpr const char* kFailLoadDll = "fail to load dll - %s";
constexpr const char* kFailFindApi = "fail to find some API";

// Connection
constexpr const char* kConnecting = "Connecting %s ...";
constexpr const char* kFailLoadDriver = "Fail to load JTAG driver";
constexpr const char* kFailConnect = "Fail to connect %s";
constexpr const char* kFailConnectChecklist =
    "Fail to connect %s, please check:\n1. Board is plugged into your "
    "PC.\n2. USB-Blaster driver is installed.\n3. Max II code is download.";
constexpr const char* kConnectSuccess = "Connect %s success";
constexpr const char* kNoResponse = "%s no response (Please try to download Max II code)";
constexpr const char* kNoResponseQuestion =
    "There is no response fron %s board.\nDo you want to download Max II code now?";
constexpr const char* kLostConnection = "Lost FPGA connection";

// LEDs and pins
constexpr const char* kUpdateLed = "Update LED...";
constexpr const char* kUpdateLedSuccess = "Update LED success";
constexpr const char* kUpdateLedFail = "Update LED fail";
constexpr const char* kUpdateGpioSuccess = "Update GPIO success";
constexpr const char* kUpdateGpioFail = "Update GPIO fail";

// Programming
constexpr const char* kDownloadStart = "Download Max II code...";
constexpr const char* kDownloadRunning = "Download Max II Code...";
constexpr const char* kDownloadSuccess = "Download Max II code success";
constexpr const char* kDownloadFail = "Download Max II code fail";
constexpr const char* kNoQuartus = "Please make sure Quatus is installed";
constexpr const char* kNoProgrammer = "Fail to find the download tool(%s) for Max II.";
constexpr const char* kNoDesignFile = "Fail to find the download file (%s) for Max II.";
constexpr const char* kChainFileNotCreated = "Fail to generate Chain Definition File(%s) for Max II.";
constexpr const char* kNoChainFile = "Fail to find the chain definition file (%s) for Max II.";
constexpr const char* kExitCode = "ExitCode:%Xh";

// Why a link did not open, as our JTAG library editions say it
constexpr const char* kLinkInUse =
    "The link is in use by another program: close the control panel or the other qbv, "
    "or let qbv wait for it with --wait SECONDS.";

// Window
constexpr const char* kQuitQuestion = "Process is not terminated. Are you sure want to quit?";
constexpr const char* kEndsAfterProgrammer = "The control panel ends when the programmer has ended.";

} // namespace qbv::text
