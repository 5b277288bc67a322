// qbv doctor over the fake JTAG library, in process: for each way the board can fail to answer, the step
// that fails, its exit code and what to do, with every step before it ok and every step after it skipped.

#include "CliTesting.h"
#include "common/ExitCode.h"
#include "platform/Environment.h"
#include "platform/JtagApi.h"
#include "platform/ProgramLocation.h"
#include "platform/UsbCables.h"
#include "platform/VendorToolchain.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"
#include "tests/programming/ProgrammerTesting.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"
#include "tests/support/FolderSpoil.h"
#include "tests/support/TemporaryDirectory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace qbv;
using namespace qbv::cli;
using test::FakeJtag;
using testing::HasSubstr;

namespace {

// The steps on the fake library, which is the board maker's edition to qbv: no virtual board's steps.
const std::vector<std::string> kSteps = {"library",    "panel",      "link",        "ping",
                                         "round-trip", "tool-chain", "design-file", "chain-file-folder"};

struct DoctorSetup {
    FakeJtag fake;
    test::FakeClock clock;
    std::unique_ptr<test::FakeLibraryDirectory> directory;
    bool arranged = true; // false where this system or user cannot make the case
};

struct DoctorCase {
    const char* name;
    int omittedExport; // FakeLibraryDirectory::kWhole for the whole library
    void (*arrange)(DoctorSetup& setup);
    int exitCode;
    const char* failedStep;  // "" when all pass; for an interruption, the first step skipped
    const char* fix;         // a part of what to do
    int interruptAtPoll = 0; // Ctrl+C from this look for it on (one look a step)
};

void nothing(DoctorSetup&) {}

const DoctorCase kCases[] = {
    {"AllWell", test::FakeLibraryDirectory::kWhole, nothing, kExitSuccess, "", ""},
    {"NoLibrary", test::FakeLibraryDirectory::kWhole, [](DoctorSetup& s) { s.directory->removeLibrary(); },
     kExitLibrary, "library", "beside qbv and the control panel"},
    {"LibraryLacksAFunction", jtag::kJtagAtlanticRead, nothing, kExitLibrary, "library",
     "beside qbv and the control panel"},
    {"LinkDoesNotOpen", test::FakeLibraryDirectory::kWhole, [](DoctorSetup& s) { s.fake.fail(kFakeInit); },
     kExitLinkNotOpened, "link", "cable"},
    {"NoJtagUart", test::FakeLibraryDirectory::kWhole, [](DoctorSetup& s) { s.fake.fail(kFakeAtlanticInit); },
     kExitLinkNotOpened, "link", "cable"},
    // A blank controller takes nothing; a board that takes commands but sends nothing back.
    {"BoardTakesNothing", test::FakeLibraryDirectory::kWhole,
     [](DoctorSetup& s) { s.fake.setFallback(kFakeWrite, FakeJtag::step(1, 0)); }, kExitNoResponse, "ping",
     "qbv program"},
    {"KeyReadsUnanswered", test::FakeLibraryDirectory::kWhole,
     [](DoctorSetup& s) { s.fake.setFallback(kFakeRead, FakeJtag::step(0, 0, -1, 100)); }, kExitCommandFailed,
     "round-trip", "cable"},
    {"NoToolChain", test::FakeLibraryDirectory::kWhole,
     [](DoctorSetup& s) { std::filesystem::remove_all(s.directory->path() / "quartus"); },
     kExitProgrammingFailed, "tool-chain", "To program the MAX II"},
    {"ToolChainOfAnotherOwner", test::FakeLibraryDirectory::kWhole,
     [](DoctorSetup& s) {
         s.arranged = test::spoilFolder(s.directory->path() / "quartus", test::Spoil::ForeignOwner);
     },
     kExitProgrammingFailed, "tool-chain", "belong to you or root"},
    {"NoDesignFile", test::FakeLibraryDirectory::kWhole,
     [](DoctorSetup&) { std::filesystem::remove(programming::designFilePath(test::programFolder())); },
     kExitProgrammingFailed, "design-file", programming::kDesignFileName},
    // Ctrl+C in the round trip's second read ends it there, and nothing failed.
    {"InterruptedInTheRoundTrip", test::FakeLibraryDirectory::kWhole, nothing, kExitInterrupted, "round-trip",
     "", 6},
};

struct DoctorTest : testing::TestWithParam<DoctorCase> {
    DoctorSetup setup;
    std::string quartusRoot = platform::environmentVariable("QUARTUS_ROOTDIR");

    DoctorTest() {
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
        setup.fake.delayWith(setup.clock);
        setup.fake.answerKeyReads(0x00);
        setup.directory = std::make_unique<test::FakeLibraryDirectory>(GetParam().omittedExport);
        std::ofstream(programming::designFilePath(test::programFolder())) << "design";
        test::installTestProgrammer(programming::programmerPath(setup.directory->directory() + "quartus"));
        GetParam().arrange(setup);
    }
    ~DoctorTest() override { platform::setEnvironmentVariable("QUARTUS_ROOTDIR", quartusRoot); }
};

// The report in JSON: the steps in order, every one before the failed one ok, every one after it skipped,
// and the failure's fix as expected.
void expectReport(const std::string& out, const std::vector<std::string>& steps,
                  const std::string& failedStep, const std::string& fix, bool interrupted) {
    const std::vector<std::string> reported = test::lines(out);
    ASSERT_EQ(reported.size(), steps.size()) << out;
    bool failedYet = false;
    for (size_t i = 0; i < reported.size(); ++i) {
        nlohmann::json step;
        ASSERT_TRUE(test::parseJson(reported[i], step)) << reported[i];
        EXPECT_EQ(step.size(), 4u) << reported[i]; // name, status, detail, fix: nothing else
        EXPECT_EQ(step["name"], steps[i]);
        const bool failsHere = step["name"] == failedStep;
        const char* there = interrupted ? "skipped" : "failed";
        EXPECT_EQ(step["status"], failsHere ? there : failedYet ? "skipped" : "ok") << reported[i];
        EXPECT_FALSE(step["detail"].get<std::string>().empty());
        if (failsHere && !interrupted) {
            EXPECT_THAT(step["fix"].get<std::string>(), HasSubstr(fix));
        }
        failedYet = failedYet || failsHere;
    }
}

} // namespace

TEST_P(DoctorTest, StopsAtTheFirstFailureWithItsCodeAndWhatToDo) {
    const DoctorCase& c = GetParam();
    if (!setup.arranged)
        GTEST_SKIP() << "this system or user cannot make the folder the case needs";
    const bool interrupted = c.interruptAtPoll > 0;
    const auto run = [&c](std::vector<std::string> arguments) {
        return c.interruptAtPoll ? test::runQbv(arguments, {test::interruptOnPoll(c.interruptAtPoll)})
                                 : test::runQbv(arguments);
    };
    const test::CliRun json = run({"--json", "doctor"});
    EXPECT_EQ(json.exitCode, c.exitCode) << json.out;
    expectReport(json.out, kSteps, c.failedStep, c.fix, interrupted);
    // In words the same steps, the fix under the failure and the verdict last; nothing on standard error.
    const test::CliRun words = run({"doctor"});
    EXPECT_EQ(words.exitCode, c.exitCode);
    EXPECT_EQ(words.err, "");
    EXPECT_EQ(words.out.find("what to do:") != std::string::npos, *c.failedStep != '\0' && !interrupted)
        << words.out;
    EXPECT_THAT(test::lines(words.out).back(), HasSubstr(interrupted  ? "Interrupted"
                                                         : c.exitCode ? "Stopped"
                                                                      : "All checks passed"));
}

INSTANTIATE_TEST_SUITE_P(Outcomes, DoctorTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// The edition for real boards from its program folder in the build tree, over the fake vendor client: the
// client library's step in each way its folder can be wrong.
#ifdef _WIN32
constexpr const char* kFakeClientFolder = "fakeclient\\bin64";
#else
constexpr const char* kFakeClientFolder = "fakeclient/linux64";
#endif

// On Linux the cable's device node is checked before the link opens; elsewhere the vendor's driver has it.
const std::vector<std::string> kVendorSteps = [] {
    std::vector<std::string> steps = {
        "library",    "panel",      "client-library", "jtag-server",      "cable", "link", "ping",
        "round-trip", "tool-chain", "design-file",    "chain-file-folder"};
    if (platform::usbCablesListed())
        steps.insert(steps.begin() + 3, "usb-cable");
    return steps;
}();

enum class ClientFolder { TheFake, NoneNamed, HoldsNoLibrary, OthersMayWrite };
// The cable as a folder standing in for the system's root shows it: on the bus with its node, or not.
enum class Cable { Ready, NotOnTheBus, NodeMissing, NodeNotOurs };

struct VendorCase {
    const char* name;
    ClientFolder folder;
    Cable cable;
    const char* open; // what the fake client's open does
    int exitCode;
    const char* failedStep;
    const char* fix;
};

const VendorCase kVendorCases[] = {
    // The way to the board passes; programming lacks its tool chain.
    {"ClientLoads", ClientFolder::TheFake, Cable::Ready, "ok", kExitProgrammingFailed, "tool-chain",
     "To program"},
    {"NoToolChain", ClientFolder::NoneNamed, Cable::Ready, "ok", kExitLinkNotOpened, "client-library",
     "To reach a real board"},
    {"ClientDoesNotLoad", ClientFolder::HoldsNoLibrary, Cable::Ready, "ok", kExitLinkNotOpened,
     "client-library", "missing"},
    {"OthersMayWrite", ClientFolder::OthersMayWrite, Cable::Ready, "ok", kExitLinkNotOpened, "client-library",
     "nobody else"},
    {"CableNotOnTheBus", ClientFolder::TheFake, Cable::NotOnTheBus, "ok", kExitLinkNotOpened, "usb-cable",
     "Plug the cable"},
    {"CableNodeMissing", ClientFolder::TheFake, Cable::NodeMissing, "ok", kExitLinkNotOpened, "usb-cable",
     "again"},
    {"CableNodeNotOurs", ClientFolder::TheFake, Cable::NodeNotOurs, "ok", kExitLinkNotOpened, "usb-cable",
     "Install the udev rule"},
    // What the client's open says of the server, the cables and the board's JTAG UART.
    {"ServerDoesNotAnswer", ClientFolder::TheFake, Cable::Ready, "other", kExitLinkNotOpened, "jtag-server",
     "Start"},
    {"NoCableFound", ClientFolder::TheFake, Cable::Ready, "no-cable", kExitLinkNotOpened, "cable",
     "Plug the cable in"},
    {"CablesNotNamed", ClientFolder::TheFake, Cable::Ready, "not-unique", kExitLinkNotOpened, "cable",
     "QBV_JTAG_CABLE"},
    {"LinkInUse", ClientFolder::TheFake, Cable::Ready, "in-use", kExitLinkNotOpened, "link", "--wait"},
};

// A cable on bus 1 as device 5, its node as the case says.
bool placeCable(const std::filesystem::path& root, Cable cable) {
    namespace fs = std::filesystem;
    if (cable == Cable::NotOnTheBus)
        return true;
    const fs::path device = root / "sys/bus/usb/devices/1-1";
    fs::create_directories(device);
    const std::pair<const char*, const char*> attributes[] = {
        {"idVendor", "09fb"}, {"idProduct", "6001"}, {"busnum", "1"}, {"devnum", "5"}};
    for (const auto& [name, value] : attributes)
        std::ofstream(device / name) << value << "\n";
    if (cable == Cable::NodeMissing)
        return true;
    fs::create_directories(root / "dev/bus/usb/001");
    std::ofstream(root / "dev/bus/usb/001/005");
    if (cable == Cable::NodeNotOurs)
        fs::permissions(root / "dev/bus/usb/001/005", fs::perms::none);
    return cable != Cable::NodeNotOurs ||
           !std::ofstream(root / "dev/bus/usb/001/005"); // root may write anyway
}

struct VendorDoctorTest : testing::TestWithParam<VendorCase> {
    test::TemporaryDirectory folder;
    test::TemporaryDirectory systemRoot;
    std::string quartusRoot = platform::environmentVariable("QUARTUS_ROOTDIR");

    VendorDoctorTest() {
        const char separator = platform::pathSeparator();
        const std::string tree = platform::executableDirectory() + ".." + separator;
        test::setProgramFolder(tree + "real-board" + separator);
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
        std::string client;
        switch (GetParam().folder) {
        case ClientFolder::TheFake:
            client = tree + kFakeClientFolder;
            break;
        case ClientFolder::NoneNamed:
            break;
        case ClientFolder::HoldsNoLibrary:
            std::ofstream(folder.file(platform::jtagClientLibraryFileName())) << "not a library";
            client = folder.directory();
            break;
        case ClientFolder::OthersMayWrite:
            spoiled = test::spoilFolder(folder.path(), test::Spoil::OthersMayWrite);
            client = folder.directory();
            break;
        }
        platform::setEnvironmentVariable("QBV_JTAG_CLIENT_DIR", client);
        platform::setEnvironmentVariable("QBV_FAKE_CLIENT_OPEN", GetParam().open);
        cablePlaced = placeCable(systemRoot.path(), GetParam().cable);
    }
    ~VendorDoctorTest() override {
        test::setProgramFolder("");
        platform::setEnvironmentVariable("QBV_JTAG_CLIENT_DIR", "");
        platform::setEnvironmentVariable("QBV_FAKE_CLIENT_OPEN", "");
        platform::setEnvironmentVariable("QUARTUS_ROOTDIR", quartusRoot);
    }
    bool spoiled = true;
    bool cablePlaced = true;
};

} // namespace

TEST_P(VendorDoctorTest, FindsTheVendorsClientAsTheEditionDoes) {
    if (!spoiled || !cablePlaced)
        GTEST_SKIP() << "this system or user cannot make the folder or node the case needs";
    if (GetParam().cable != Cable::Ready && !platform::usbCablesListed())
        GTEST_SKIP() << "no device nodes to check on this system";
    const test::CliRun run = test::runQbv({"--json", "doctor"}, {{}, false, systemRoot.directory()});
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.out;
    expectReport(run.out, kVendorSteps, GetParam().failedStep, GetParam().fix, false);
    EXPECT_THAT(run.out,
                HasSubstr("its edition: ours, for real boards (over the FPGA vendor's JTAG-UART client)."));
}

INSTANTIATE_TEST_SUITE_P(ClientFolders, VendorDoctorTest, testing::ValuesIn(kVendorCases),
                         [](const auto& info) { return std::string(info.param.name); });
