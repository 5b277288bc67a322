#include "Doctor.h"

#include "board/BoardProtocol.h"
#include "board/Invariant.h"
#include "common/ExitCode.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "jtagvendor/ClientLibrary.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/ProgramLocation.h"
#include "platform/UsbCables.h"
#include "platform/VendorToolchain.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace qbv::doctor {

namespace {

// As many key reads as make a median that one slow read does not move.
constexpr int kRoundTrips = 20;

CheckResult ok(std::string detail) {
    return {CheckStatus::Ok, std::move(detail), {}, kExitSuccess};
}

CheckResult failed(int exitCode, std::string detail, std::string fix) {
    return {CheckStatus::Failed, std::move(detail), std::move(fix), exitCode};
}

// What to do, in the words of the front end that runs the checks: qbv's commands, or the panel's own.
struct FrontWords {
    const char* program; // how to program the controller
    const char* again;   // how to run the checks again
    const char* inUse;   // what to do about a link that another program holds
};
constexpr FrontWords kQbvWords{
    "qbv program", "run qbv doctor again",
    "Close the control panel or the other qbv that holds the link, or let qbv wait for it with --wait "
    "SECONDS."};
constexpr FrontWords kPanelWords{"Download .POF", "check the connection again",
                                 "Close the other program that holds the link (a control panel of another "
                                 "folder, or qbv), then check the connection again."};

const FrontWords& words(const DoctorContext& context) {
    return context.inPanel ? kPanelWords : kQbvWords;
}

// What to do about a link that did not open, by the library's own reason; the maker's edition gives none.
std::string linkFix(jtag::LinkError why, const DoctorContext& context) {
    const bool virtualBoard = context.virtualEdition();
    switch (why) {
    case jtag::LinkError::NoToolChain:
        return "Install the FPGA vendor's tool chain and announce it (see \"With a real board\" in the "
               "README).";
    case jtag::LinkError::ServerNotRunning:
        return virtualBoard
                   ? formatText("Start the virtual board: %s.", platform::programWords().startVirtualBoard)
                   : formatText("Start %s and check that it sees the cable.",
                                platform::toolchainWords().server);
    case jtag::LinkError::NoCable:
        return virtualBoard
                   ? formatText("Plug the virtual board in: %s plug.", platform::programWords().boardControl)
                   : "Plug the cable in, to the PC and to the board, and power the board.";
    case jtag::LinkError::InUse:
        return words(context).inUse;
    case jtag::LinkError::NoJtagUart:
        return formatText("Program the controller: %s.", words(context).program);
    case jtag::LinkError::CableNotUnique:
        return "Name the cable to use in QBV_JTAG_CABLE, as the vendor's tools list it.";
    case jtag::LinkError::NotOurs:
        return virtualBoard ? "Start a virtual board of your own." : "Start a JTAG server of your own.";
    default:
        return formatText("Check the cable and the board's power, then %s.", words(context).again);
    }
}

bool always(const DoctorContext&) {
    return true;
}

bool onVirtualBoard(const DoctorContext& context) {
    return context.virtualEdition();
}

bool onRealBoard(const DoctorContext& context) {
    return context.port && context.port->libraryEdition() == jtag::Edition::RealBoards;
}

bool onRealBoardsUsb(const DoctorContext& context) {
    return onRealBoard(context) && platform::usbCablesListed();
}

// The link's own steps, where the checks open it themselves.
bool onRealBoardsOwnLink(const DoctorContext& context) {
    return onRealBoard(context) && !context.holder && !context.panelHoldsLink();
}

template <typename Value> bool oneOf(Value value, std::initializer_list<Value> values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

CheckResult checkLibrary(DoctorContext& context) {
    if (context.panelPort) {
        context.port = context.panelPort;
    } else {
        context.ownPort = std::make_unique<TJtagPort>(context.folder);
        context.port = context.ownPort.get();
    }
    const TJtagPort& port = *context.port;
    if (port.IsLoaded())
        return ok(
            formatText("%s loads; its edition: %s.", port.LibraryPath().c_str(), port.edition().c_str()));
    return failed(
        kExitLibrary, port.errorDetail(),
        formatText("Put the JTAG access library (%s) of your board's edition beside qbv and the "
                   "control panel, as the package installs it, and whatever the system names as missing.",
                   platform::jtagLibraryFileName()));
}

CheckResult checkPanel(DoctorContext& context) {
    if (context.inPanel)
        return ok(context.panelHoldsLink()
                      ? "This control panel holds the link: the board is asked over it."
                      : "This control panel holds no link now: the checks open it, and close it again.");
    if (context.findHolder)
        context.holder = context.findHolder();
    if (!context.holder)
        return ok("No control panel of this folder runs: qbv opens the link itself.");
    // As the panel has its link: a ping tells whether it holds one, and the ping's check takes the answer.
    context.holderPing = context.holder->ping();
    if (context.holderPing->status == CheckStatus::Ok)
        return ok(
            "A control panel of this folder runs and holds the link: the link's checks are asked of it.");
    CheckResult refused = *context.holderPing;
    refused.detail =
        "A control panel of this folder runs, and the board cannot be reached through it: " + refused.detail;
    return refused;
}

CheckResult checkVirtualBoard(DoctorContext& context) {
    QBV_INVARIANT(context.probeVirtualBoard, "a front end on the virtual board hands in a way to look at it");
    context.virtualBoard = context.probeVirtualBoard();
    const std::string& name = context.virtualBoard->name();
    std::string refusal;
    const std::string path = context.virtualBoard->linkSocketPath(refusal);
    if (path.empty())
        return failed(kExitLinkNotOpened, refusal,
                      "Mend the folder as said, then start the virtual board again.");
    if (std::string why; !context.virtualBoard->connect(why))
        return failed(kExitLinkNotOpened,
                      formatText("The virtual board \"%s\": %s.", name.c_str(), why.c_str()),
                      linkFix(jtag::LinkError::ServerNotRunning, context));
    return ok(formatText("The virtual board \"%s\" serves %s, a process of this user's.", name.c_str(),
                         path.c_str()));
}

CheckResult checkVirtualBoardState(DoctorContext& context) {
    std::string reply;
    const std::optional<VirtualBoardState> said = context.virtualBoard->state(reply);
    if (!said)
        return failed(kExitLinkNotOpened, "The virtual board did not say its state: " + reply + ".",
                      "End the virtual board and start it again.");
    const VirtualBoardState state = *said;
    context.virtualBoard.reset(); // its control connection is done with
    if (!state.plugged)
        return failed(kExitLinkNotOpened, "The virtual board is unplugged.",
                      linkFix(jtag::LinkError::NoCable, context));
    if (!state.programmed)
        return failed(kExitNoResponse, "The virtual board's controller is erased: it answers nothing.",
                      formatText("Program it: %s.", words(context).program));
    if (context.panelHoldsLink())
        return ok("Plugged in and programmed; this control panel holds its link.");
    return ok(state.linkOpen ? "Plugged in and programmed; another program holds its link."
                             : "Plugged in and programmed; its link is free.");
}

// The vendor's client library, found and loaded as the edition for real boards finds and loads it: from
// QBV_JTAG_CLIENT_DIR or the tool chain's folder, never from one that may not be trusted.
CheckResult checkClientLibrary(DoctorContext&) {
    jtagvendor::ClientFolder folder;
    const bool loaded = jtagvendor::loadClientLibrary(folder) != nullptr;
    const platform::ToolchainWords& words = platform::toolchainWords();
    if (folder.path.empty())
        return failed(kExitLinkNotOpened,
                      formatText("No tool chain is known, so the vendor's JTAG-UART client is not found: %s.",
                                 words.missing),
                      formatText("To reach a real board, %s.", words.install));
    if (!folder.distrust.empty())
        return failed(
            kExitLinkNotOpened,
            formatText("%s (named by %s) is not used because %s.", folder.path.c_str(),
                       folder.namedBy.c_str(), folder.distrust.c_str()),
            "Let the folder belong to you or root and let nobody else write in it, or name another.");
    if (!folder.unloaded.empty())
        return failed(kExitLinkNotOpened,
                      formatText("%s does not load: %s.", folder.unloaded.c_str(), folder.failure.c_str()),
                      "Install what the system names as missing, or the tool chain again.");
    if (!loaded)
        return failed(kExitLinkNotOpened,
                      formatText("%s (named by %s) holds no complete JTAG-UART client (%s, %s).",
                                 folder.path.c_str(), folder.namedBy.c_str(),
                                 platform::jtagClientLibraryFileName(),
                                 platform::jtagAtlanticLibraryFileName()),
                      "Name the tool chain's own folder, or install the tool chain again.");
    return ok(formatText("The vendor's JTAG-UART client in %s (named by %s) loads.", folder.path.c_str(),
                         folder.namedBy.c_str()));
}

// The cable as the system sees it, before the vendor's JTAG server does: on the bus, and its device node
// one this user may read and write (which the project's udev rule grants from the next plugging in).
CheckResult checkUsbCable(DoctorContext& context) {
    const std::vector<platform::UsbCable> cables = platform::usbBlasterCables(context.systemRoot);
    if (cables.empty())
        return failed(kExitLinkNotOpened, "No USB-Blaster-class cable (USB vendor 09fb) is on the USB bus.",
                      "Plug the cable into the PC and into the board, and power the board.");
    for (const platform::UsbCable& cable : cables) {
        if (!cable.nodeExists)
            return failed(
                kExitLinkNotOpened,
                formatText("The cable is on the bus, but its device node %s is missing.", cable.node.c_str()),
                "Plug the cable in again.");
        if (!cable.readWrite)
            return failed(
                kExitLinkNotOpened,
                formatText("You may not read and write %s, the cable's device node.", cable.node.c_str()),
                platform::udevRuleInstalled(context.systemRoot)
                    ? "The udev rule is installed: plug the cable in again, as the rule takes effect when "
                      "a cable is plugged in (and log in again if you were just added to plugdev)."
                    : "Install the udev rule: sudo cp resources/linux/51-qbv-usb-blaster.rules "
                      "/etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger, then "
                      "plug the cable in again.");
    }
    return ok(formatText(
        "USB-Blaster-class cables on the bus: %d; the first (product %s) has its device node %s, "
        "which you may read and write.",
        static_cast<int>(cables.size()), cables.front().product.c_str(), cables.front().node.c_str()));
}

// The link is opened once, by the first step that needs it: the JTAG server's for real boards.
bool openLink(DoctorContext& context) {
    if (!context.linkOpened)
        context.linkOpened = context.port->Open();
    return *context.linkOpened;
}

CheckResult linkFailure(const DoctorContext& context) {
    const TJtagPort& port = *context.port;
    // The library's sentence for a link in use says what to do already: the detail keeps to the fact.
    const std::string why =
        port.linkError() == jtag::LinkError::InUse
            ? "Another program holds the link: a control panel of another folder, or another qbv."
            : port.linkErrorString();
    return failed(kExitLinkNotOpened,
                  why.empty() ? "The library could not open the link and gives no reason (the board maker's "
                                "edition says none)."
                              : why,
                  linkFix(port.linkError(), context));
}

// The JTAG server answered the client, unless the link's failure says it did not, or names no cause.
CheckResult checkJtagServer(DoctorContext& context) {
    const char* server = platform::toolchainWords().server;
    if (openLink(context) ||
        !oneOf(context.port->linkError(),
               {jtag::LinkError::ServerNotRunning, jtag::LinkError::NotOurs, jtag::LinkError::Other}))
        return ok(formatText("%s answers.", server));
    CheckResult failure = linkFailure(context);
    if (context.port->linkError() == jtag::LinkError::Other)
        failure.fix = linkFix(jtag::LinkError::ServerNotRunning, context);
    return failure;
}

// The cable the server found, as QBV_JTAG_CABLE picks it (the client lists no cables itself).
CheckResult checkCable(DoctorContext& context) {
    if (!openLink(context) &&
        oneOf(context.port->linkError(), {jtag::LinkError::NoCable, jtag::LinkError::CableNotUnique}))
        return linkFailure(context);
    const std::string cable = platform::environmentVariable("QBV_JTAG_CABLE");
    return ok(cable.empty() ? "A cable reaches the board; QBV_JTAG_CABLE is not set, so the one cable there "
                              "is is used."
                            : "The cable \"" + cable + "\" that QBV_JTAG_CABLE picks reaches the board.");
}

CheckResult checkLink(DoctorContext& context) {
    if (context.holder)
        return ok("The control panel holds the link; the board is asked through it.");
    if (context.panelHoldsLink())
        return ok("This control panel's link is open.");
    if (openLink(context))
        return ok("The link opened and the JTAG UART answers.");
    return linkFailure(context);
}

CheckResult checkPing(DoctorContext& context) {
    if (context.holder) {
        const CheckResult answered = context.holderPing ? *context.holderPing : context.holder->ping();
        return answered.status == CheckStatus::Ok ? ok("The board answered the control panel's ping.")
                                                  : answered;
    }
    uint8_t unused = 0;
    if (board::SendCommand(*context.port, board::kPing, &unused))
        return ok("The board answered a ping.");
    return failed(kExitNoResponse, formatText(text::kNoResponse, text::kBoardName),
                  formatText("Program the controller: %s (a blank or erased MAX II answers nothing).",
                             words(context).program));
}

// The median of the key reads' round trips: what a poll of the keys costs, unmoved by one slow read. A
// panel answers a key read from its own polls without asking the board, so through it a ping (which it
// does send to the board) is timed instead. One read a step: a slow board holds no one for all of them.
CheckResult checkRoundTrip(DoctorContext& context) {
    using Clock = std::chrono::steady_clock;
    std::vector<double>& milliseconds = context.roundTrips;
    const Clock::time_point start = Clock::now();
    if (context.holder) {
        if (CheckResult pinged = context.holder->ping(); pinged.status != CheckStatus::Ok)
            return pinged;
    } else {
        uint8_t keys = 0;
        if (!board::SendCommand(*context.port, board::kReadKeys, &keys))
            return failed(
                kExitCommandFailed,
                formatText("%s: key read %d of %d went unanswered.", text::kLostConnection,
                           static_cast<int>(milliseconds.size()) + 1, kRoundTrips),
                formatText("Check the cable and the board's power, then %s.", words(context).again));
    }
    milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (milliseconds.size() < static_cast<size_t>(kRoundTrips))
        return {CheckStatus::Going, {}, {}, 0};
    std::sort(milliseconds.begin(), milliseconds.end());
    const double median = (milliseconds[kRoundTrips / 2 - 1] + milliseconds[kRoundTrips / 2]) / 2;
    return ok(formatText("%s takes %.3f ms there and back (median of %d; %.3f to %.3f ms).",
                         context.holder ? "A ping through the control panel" : "A key read", median,
                         kRoundTrips, milliseconds.front(), milliseconds.back()));
}

CheckResult checkToolChain(DoctorContext& context) {
    const programming::ToolChain chain = programming::toolChainInUse(context.folder);
    if (chain.path.empty())
        return failed(kExitProgrammingFailed, chain.lookedFor,
                      formatText("To program the MAX II, %s.", platform::toolchainWords().install));
    if (std::string why = programming::programmerDistrust(chain.path, chain.namedBy); !why.empty())
        return failed(
            kExitProgrammingFailed, why,
            "Let the folder belong to you or root and let nobody else write in it, or name another.");
    const std::string programmer = programming::programmerPath(chain.path);
    if (!platform::fileExists(programmer))
        return failed(kExitProgrammingFailed, programming::lookedIn(chain.path, chain.namedBy),
                      "Install the tool chain's programmer, or name a tool chain that has it.");
    return ok(formatText("%s, named by %s; its programmer: %s.", chain.path.c_str(), chain.namedBy.c_str(),
                         programmer.c_str()));
}

CheckResult checkDesignFile(DoctorContext& context) {
    const std::string path = programming::designFilePath(context.folder);
    if (platform::fileExists(path))
        return ok(path + " is there.");
    return failed(
        kExitProgrammingFailed, path + " is missing.",
        formatText(
            "Put the board maker's %s beside qbv and the control panel: programming the MAX II needs it.",
            programming::kDesignFileName));
}

// Where programming would write the chain file: beside the program, else in the user's own folder, as
// the programming job tries them. A file made and removed again shows that the folder takes one.
CheckResult checkChainFolder(DoctorContext& context) {
    const std::string& folder = context.folder;
    const std::string probe = folder + ".qbv-doctor-probe";
    platform::ExclusiveFile file;
    if (file.create(probe)) {
        file.close();
        platform::deleteFile(probe);
        return ok("The chain file would be written to " + folder + ".");
    }
    std::string refusal;
    const std::string cache = platform::userCacheFolder(&refusal);
    if (!cache.empty())
        return ok(formatText("%s takes no file: the chain file would be written to %s.", folder.c_str(),
                             cache.c_str()));
    return failed(kExitProgrammingFailed,
                  formatText("Neither %s nor the user's own folder takes the chain file: %s", folder.c_str(),
                             refusal.c_str()),
                  "Let qbv's folder or your own folder for programs' files take files.");
}

// clang-format off
constexpr DoctorCheck kChecks[] = {
    {"library",             always,         checkLibrary},
    {"panel",               always,         checkPanel},
    {"virtual-board",       onVirtualBoard, checkVirtualBoard},
    {"virtual-board-state", onVirtualBoard, checkVirtualBoardState},
    {"client-library",      onRealBoard,    checkClientLibrary},
    {"usb-cable",           onRealBoardsUsb, checkUsbCable},
    {"jtag-server",         onRealBoardsOwnLink, checkJtagServer},
    {"cable",               onRealBoardsOwnLink, checkCable},
    {"link",                always,         checkLink},
    {"ping",                always,         checkPing},
    {"round-trip",          always,         checkRoundTrip},
    {"tool-chain",          always,         checkToolChain},
    {"design-file",         always,         checkDesignFile},
    {"chain-file-folder",   always,         checkChainFolder},
};
// clang-format on

} // namespace

bool DoctorContext::virtualEdition() const {
    return port && port->libraryEdition() == jtag::Edition::VirtualBoard;
}

std::span<const DoctorCheck> doctorChecks() {
    return kChecks;
}

} // namespace qbv::doctor
