// The JTAG library for real boards over the fake of the vendor's JTAG-UART client library, loaded by the
// panel's own port from the edition's program folder: every export's mapping and every failure's words.

#include "board/BoardProtocol.h"
#include "board/Jtagport.h"
#include "platform/DynamicLibrary.h"
#include "platform/Environment.h"
#include "platform/JtagLibrary.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"
#include "tests/fakeclient/FakeClientScript.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/FolderSpoil.h"
#include "tests/support/TemporaryDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

using namespace qbv;
using testing::HasSubstr;

namespace {

#ifdef _WIN32
constexpr const char* kFakeClientFolder = "fakeclient\\bin64";
constexpr const char* kFakeBareClientFolder = "fakeclient\\without-get-error\\bin64";
constexpr const char* kNoInstallWords = "the registry names no Quartus install folder";
#else
constexpr const char* kFakeClientFolder = "fakeclient/linux64";
constexpr const char* kFakeBareClientFolder = "fakeclient/without-get-error/linux64";
constexpr const char* kNoInstallWords = "QUARTUS_ROOTDIR is not set";
#endif

std::string besideTests(const char* folder) {
    const char separator = platform::pathSeparator();
    return platform::executableDirectory() + ".." + separator + folder + separator;
}

// The edition's program folder made the program's directory, the fake client library its tool chain, and
// the fake's script and call log for one test.
class VendorEditionTest : public testing::Test {
protected:
    VendorEditionTest() {
        test::setProgramFolder(besideTests("real-board"));
        setVariable("QBV_JTAG_CLIENT_DIR", besideTests(kFakeClientFolder));
        setVariable(kFakeClientLogVariable, log.file("calls.log"));
    }
    ~VendorEditionTest() override {
        test::setProgramFolder("");
        for (const std::string& name : set_)
            platform::setEnvironmentVariable(name.c_str(), "");
    }
    void setVariable(const std::string& name, const std::string& value) {
        platform::setEnvironmentVariable(name.c_str(), value);
        set_.push_back(name);
    }
    std::string calls() const {
        std::ifstream file(log.file("calls.log"));
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    bool send(TJtagPort& port, int32_t command, uint8_t data = 0) {
        return board::SendCommand(port, command, &data);
    }

    test::TemporaryDirectory log;

private:
    std::vector<std::string> set_;
};

} // namespace

TEST_F(VendorEditionTest, OpensTheLinkAndMovesTheBoardsBytes) {
    setVariable(kFakeClientKeysVariable, "0x05");
    setVariable("QBV_JTAG_CABLE", "USB-Blaster [USB-0]");
    TJtagPort port{test::programFolder()};
    ASSERT_TRUE(port.IsLoaded()) << port.errorString();
    ASSERT_TRUE(port.Open()) << port.linkErrorString();
    EXPECT_TRUE(send(port, board::kSetLeds, 0x80));
    uint8_t keys = 0;
    EXPECT_TRUE(board::SendCommand(port, board::kReadKeys, &keys));
    EXPECT_EQ(keys, 0x05);
    port.Close();
    const std::string log = calls();
    EXPECT_THAT(log,
                HasSubstr("jtagatlantic_open chain=\"USB-Blaster [USB-0]\" device=-1 instance=-1 app=\"" +
                          platform::executableName() + "\""));
    EXPECT_THAT(log, HasSubstr("data=01 80"));
    EXPECT_THAT(log, HasSubstr("jtagatlantic_flush"));
    EXPECT_THAT(log, HasSubstr("jtagatlantic_close"));
}

TEST_F(VendorEditionTest, PartialWritesAreFinishedAndABrokenLinkFailsTheCommand) {
    setVariable(kFakeClientAcceptVariable, "1");
    {
        TJtagPort port{test::programFolder()};
        ASSERT_TRUE(port.Open());
        EXPECT_TRUE(send(port, board::kSetGpioPin, 0xD7)); // one byte a call, with no pause
        EXPECT_THAT(calls(), HasSubstr("count=1 data=d7"));
        port.Close(); // the port's owner ends the link: destroying the port only frees the library
    }
    setVariable(kFakeClientAcceptVariable, "");
    setVariable(kFakeClientBreakAfterVariable, "1");
    TJtagPort port{test::programFolder()};
    ASSERT_TRUE(port.Open());
    EXPECT_FALSE(send(port, board::kSetLeds, 0x81));
    port.Close();
}

// Where a row's client library is looked for (the folders are in the test).
enum class Client {
    Fake,
    WithoutGetError,
    Empty,
    Relative,
    NoneNamed,
    Unloadable,
    GivenAway,
    OthersWriteToolChain
};

struct OpenFailure {
    const char* open; // the fake's open mode
    jtag::LinkError kind;
    const char* words;
    Client client = Client::Fake;
    const char* name = nullptr;
};

class VendorOpenFailure : public VendorEditionTest, public testing::WithParamInterface<OpenFailure> {};

TEST_P(VendorOpenFailure, SaysWhyInWordsAUserCanActOn) {
    test::TemporaryDirectory empty;
    const OpenFailure& row = GetParam();
    if (row.open)
        setVariable(kFakeClientOpenVariable, row.open);
    const std::string folders[] = {
        besideTests(kFakeClientFolder),     // Fake
        besideTests(kFakeBareClientFolder), // WithoutGetError
        empty.directory(),                  // Empty
        kFakeClientFolder,                  // Relative
        "",                                 // NoneNamed
        empty.directory(),                  // Unloadable: a client library there that is none
        empty.directory(),                  // GivenAway
        "",                                 // OthersWriteToolChain: QUARTUS_ROOTDIR names it
    };
    setVariable("QBV_JTAG_CLIENT_DIR", folders[static_cast<int>(row.client)]);
    if (row.client == Client::Unloadable)
        std::ofstream(empty.path() / platform::jtagClientLibraryFileName()) << "not a library";
    const bool toolChain = row.client == Client::OthersWriteToolChain;
    setVariable("QUARTUS_ROOTDIR", toolChain ? empty.directory() : "");
    if ((toolChain || row.client == Client::GivenAway) &&
        !test::spoilFolder(empty.path(), toolChain ? test::Spoil::OthersMayWrite : test::Spoil::ForeignOwner))
        GTEST_SKIP() << "not on this system, or not for this user";
    TJtagPort port{test::programFolder()};
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.linkError(), row.kind);
    EXPECT_THAT(port.linkErrorString(), HasSubstr(row.words));
    if (row.client >= Client::Unloadable || row.client == Client::Empty) {
        EXPECT_THAT(port.linkErrorString(), HasSubstr(empty.directory()));
    }
}

using enum Client;

INSTANTIATE_TEST_SUITE_P(
    Table, VendorOpenFailure,
    testing::Values(
        OpenFailure{nullptr, jtag::LinkError::NoToolChain, "No FPGA vendor tool chain was found", Empty,
                    "no_client_library"},
        OpenFailure{nullptr, jtag::LinkError::NoToolChain, kNoInstallWords, NoneNamed, "none_named"},
        OpenFailure{nullptr, jtag::LinkError::NoToolChain, "relative", Relative, "relative_folder"},
        OpenFailure{nullptr, jtag::LinkError::NoToolChain, "is there but did not load", Unloadable,
                    "client_library_that_does_not_load"},
        OpenFailure{nullptr, jtag::LinkError::NoToolChain, "another user", GivenAway, "foreign_owner"},
        OpenFailure{nullptr, jtag::LinkError::NoToolChain, "others than", OthersWriteToolChain,
                    "others_write"},
        OpenFailure{kFakeOpenOther, jtag::LinkError::Other, "error -99, an unspecified failure"},
        OpenFailure{kFakeOpenInUse, jtag::LinkError::Other, "gives no cause", WithoutGetError,
                    "no_get_error"},
        OpenFailure{kFakeOpenNoCable, jtag::LinkError::NoCable, "not plugged in"},
        OpenFailure{kFakeOpenCableNotOnHost, jtag::LinkError::NoCable, "not plugged in"},
        OpenFailure{kFakeOpenCableNotOnBoard, jtag::LinkError::NoCable, "does not reach the board"},
        OpenFailure{kFakeOpenInUse, jtag::LinkError::InUse, "in use by another program"},
        OpenFailure{kFakeOpenNoNode, jtag::LinkError::NoJtagUart, "not programmed"},
        OpenFailure{kFakeOpenCableNotUnique, jtag::LinkError::CableNotUnique, "QBV_JTAG_CABLE"},
        OpenFailure{kFakeOpenHardware, jtag::LinkError::Other, "JTAG client error -9"}),
    [](const testing::TestParamInfo<OpenFailure>& info) {
        std::string name = info.param.name ? info.param.name : info.param.open;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

// The reason is the last failure's: a stale "in use" would keep qbv --wait waiting for a free link.
TEST_F(VendorEditionTest, ASuccessClearsTheReasonAndALinkNeverReadyLeavesOne) {
    const platform::LibraryHandle library =
        platform::loadLibrary(besideTests("real-board") + platform::jtagLibraryFileName());
    const auto errorText =
        reinterpret_cast<jtag::JtagErrorTextFn>(platform::findSymbol(library, jtag::kErrorTextName));
    TJtagPort port{test::programFolder()};
    setVariable(kFakeClientOpenVariable, kFakeOpenInUse);
    EXPECT_FALSE(port.Open());
    setVariable(kFakeClientOpenVariable, kFakeOpenOk);
    EXPECT_TRUE(port.Open());
    EXPECT_EQ(errorText(nullptr, nullptr, 0), static_cast<int32_t>(jtag::LinkError::None));
    port.Close();
    setVariable(kFakeClientBreakAfterVariable, "0"); // wait_open fails
    EXPECT_FALSE(port.Open());
    EXPECT_THAT(port.linkErrorString(), HasSubstr("did not become ready (wait_open answered -1)"));
    platform::freeLibrary(library);
}

TEST_F(VendorEditionTest, ALinkThatIsNotReadyInTwoSecondsFailsAndIsClosedOnceItIs) {
    setVariable(kFakeClientWaitOpenVariable, "2500");
    const auto start = std::chrono::steady_clock::now();
    {
        TJtagPort port{test::programFolder()};
        EXPECT_FALSE(port.Open());
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(1900));
        EXPECT_LT(waited, std::chrono::milliseconds(2400));
    } // the port, and with it the library, goes before the wait ends
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_THAT(calls(), HasSubstr("jtagatlantic_close"));
}

TEST_F(VendorEditionTest, TheFourUnusedExportsAnswerNonZero) {
    const platform::LibraryHandle library =
        platform::loadLibrary(besideTests("real-board") + platform::jtagLibraryFileName());
    ASSERT_NE(library, nullptr);
    jtag::EntryPoints entries;
    ASSERT_TRUE(platform::findEntryPoints(library, entries));
    unsigned char context[jtag::kLinkContextSize] = {};
    EXPECT_NE(entries.jtag_command(context, 0, 0), 0);
    EXPECT_NE(entries.jtag_atlantic_get_offset(context), 0);
    EXPECT_NE(entries.jtag_atlantic_status(context), 0);
    EXPECT_NE(entries.jtag_atlantic_transfer(context, nullptr, 0, nullptr, 0), 0);
    platform::freeLibrary(library);
}
