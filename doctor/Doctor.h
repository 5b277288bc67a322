#pragma once

#include "board/Jtagport.h"
#include "platform/UsbCables.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qbv::doctor {

// What one step of the way to the board came to. A failure carries qbv's exit code for it and what to do. A
// check that asks the board many times (the round trip) asks once a step: Going says it has more to ask.
enum class CheckStatus { Ok, Failed, Skipped, Going };
constexpr int kCheckStatusCount = static_cast<int>(CheckStatus::Going) + 1;

struct CheckResult {
    CheckStatus status = CheckStatus::Ok;
    std::string detail; // one sentence
    std::string fix;    // what to do, for a failure
    int exitCode = 0;   // for a failure: the code the qbv command that meets it would end with
};

// Another front end that holds the link and answers for the board: qbv asks a running control panel.
class LinkHolder {
public:
    virtual ~LinkHolder() = default;
    // A ping carried through it: Ok, or the failure in its words with what to do.
    virtual CheckResult ping() = 0;
};

// The virtual board as its checks look at it, through its own control: each front end hands in a way to
// look, so that the checks know nothing of the simulator.
struct VirtualBoardState {
    bool plugged = false;
    bool programmed = false;
    bool linkOpen = false; // another program holds its link
};

class VirtualBoardProbe {
public:
    virtual ~VirtualBoardProbe() = default;
    // The board's name, as QBV_VIRTUAL_BOARD gives it, or the default.
    virtual const std::string& name() const = 0;
    // Where it serves its link; empty when there can be no such place, and refusal then says why.
    virtual std::string linkSocketPath(std::string& refusal) const = 0;
    // Connects to its control; false when it could not, and why then says why.
    virtual bool connect(std::string& why) = 0;
    // What it says of itself over that connection; none when it did not say, and reply then holds what came.
    virtual std::optional<VirtualBoardState> state(std::string& reply) = 0;
};
using ProbeVirtualBoard = std::function<std::unique_ptr<VirtualBoardProbe>()>;

// Who runs the checks, and what the checks learn on the way and hand on to the later ones: the port with
// its library, the front end that holds the link when one runs, the virtual board's control connection.
struct DoctorContext {
    // The control panel runs the checks over its own port when it holds the link (otherwise, with none,
    // over one of their own, as qbv does).
    bool inPanel = false;
    // The program's folder (with its trailing separator): its library, design file and chain file; and the
    // system's root, under which it lists its USB devices.
    std::string folder;
    std::string systemRoot = platform::kSystemRoot;
    TJtagPort* panelPort = nullptr;
    // qbv: a running control panel of the same folder, if there is one.
    std::function<std::unique_ptr<LinkHolder>()> findHolder;
    // How the front end looks at a virtual board, for the checks of one.
    ProbeVirtualBoard probeVirtualBoard;

    TJtagPort* port = nullptr; // the port the checks use: the panel's or their own
    std::unique_ptr<TJtagPort> ownPort;
    std::unique_ptr<LinkHolder> holder;
    std::unique_ptr<VirtualBoardProbe> virtualBoard;
    std::optional<bool> linkOpened;        // once the checks have tried to open the link
    std::optional<CheckResult> holderPing; // the running panel's answer to the first ping asked of it
    std::vector<double> roundTrips;        // the round trip's times so far, in milliseconds

    bool virtualEdition() const;
    bool panelHoldsLink() const { return panelPort && panelPort->IsOpen(); }
};

// One row of the table: its name as the report and the JSON give it, whether it belongs to this run (a
// virtual board's checks do not belong to a real board's), and the check itself.
struct DoctorCheck {
    const char* name;
    bool (*applies)(const DoctorContext& context);
    CheckResult (*run)(DoctorContext& context);
};

// The checks in the order the way to the board passes them.
std::span<const DoctorCheck> doctorChecks();

struct CheckLine {
    const char* name;
    CheckResult result;
};

// How a run of the checks ended.
enum class Ending { Passed, Failed, Interrupted };

// The checks as a machine its caller drives a step at a time, each step one board command at most: qbv runs
// the steps one after another, the panel one per turn of its event loop. After the first failure, or an
// interruption, the rest are named as skipped, so that the report says how far the way to the board was
// followed. A link the checks opened themselves is closed again when the machine goes.
class Doctor {
public:
    explicit Doctor(DoctorContext context);
    ~Doctor();
    Doctor(const Doctor&) = delete;
    Doctor& operator=(const Doctor&) = delete;

    bool done() const;
    // The next step: the line of a check that ended (or was skipped), or none while a check goes on. Only
    // while !done().
    std::optional<CheckLine> step();
    // The checks left are skipped, for this reason; the run ends as interrupted, unless a check had failed.
    void interrupt(std::string why);
    // The first failure's exit code, or an interruption's; 0 while neither came.
    int exitCode() const;
    Ending ending() const;

private:
    size_t nextIndex() const;

    DoctorContext context_;
    size_t index_ = 0;
    int exitCode_ = 0;
    bool interrupted_ = false;
    std::string skipWhy_;
};

// The report in words, as qbv prints it and the panel shows it: the status, the check's name and its
// sentence in columns, with what to do beneath a failure.
const char* statusName(CheckStatus status);
std::string reportLines(const CheckLine& line);
// The report's last line: "All checks passed.", "Stopped at the first failure.", "Interrupted.".
const char* endingWords(Ending ending);
constexpr const char* kAllPassed = "All checks passed.";

} // namespace qbv::doctor
