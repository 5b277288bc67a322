#pragma once

#include "board/Jtagport.h"
#include "sim/control/BoardControl.h"

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace qbv::doctor {

// What one step of the way to the board came to. A failure carries qbv's exit code for it and what to do.
enum class CheckStatus { Ok, Failed, Skipped };

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

// Who runs the checks, and what the checks learn on the way and hand on to the later ones: the port with
// its library, the front end that holds the link when one runs, the virtual board's control connection.
struct DoctorContext {
    // The control panel runs the checks over its own port when it holds the link (otherwise, with none,
    // over one of their own, as qbv does).
    bool inPanel = false;
    TJtagPort* panelPort = nullptr;
    // qbv: a running control panel of the same folder, if there is one.
    std::function<std::unique_ptr<LinkHolder>()> findHolder;

    TJtagPort* port = nullptr; // the port the checks use: the panel's or their own
    std::unique_ptr<TJtagPort> ownPort;
    std::unique_ptr<LinkHolder> holder;
    std::unique_ptr<sim::BoardControl> virtualBoard;
    std::optional<bool> linkOpened; // once the checks have tried to open the link
    bool commandInFlight = false;

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

// The checks as a machine its caller drives, one check a step: qbv runs them one after another, the panel
// one per turn of its event loop. After the first failure, or a stop, the rest are named as skipped, so that
// the report says how far the way to the board was followed. A link the checks opened themselves is closed
// again when the machine goes.
class Doctor {
public:
    explicit Doctor(DoctorContext context);
    ~Doctor();
    Doctor(const Doctor&) = delete;
    Doctor& operator=(const Doctor&) = delete;

    bool done() const;
    // Runs the next check that belongs to this run, or names it skipped. Only while !done().
    CheckLine next();
    // The checks left are skipped, for this reason.
    void stop(std::string why);
    // The first failure's exit code; 0 while none failed.
    int exitCode() const { return exitCode_; }
    bool stopped() const { return !skipWhy_.empty(); }

private:
    size_t nextIndex() const;

    DoctorContext context_;
    size_t index_ = 0;
    int exitCode_ = 0;
    std::string skipWhy_;
};

// The report in words, as qbv prints it and the panel shows it: the status, the check's name and its
// sentence in columns, with what to do beneath a failure.
const char* statusName(CheckStatus status);
std::string reportLines(const CheckLine& line);
constexpr const char* kAllPassed = "All checks passed.";

} // namespace qbv::doctor
