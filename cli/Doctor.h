#pragma once

#include "BoardLink.h"
#include "board/Jtagport.h"
#include "sim/control/BoardControl.h"

#include <memory>
#include <span>
#include <string>

namespace qbv::cli {

// What one step of the way to the board came to. A failure carries qbv's exit code for it and what to do.
enum class CheckStatus { Ok, Failed, Skipped };

struct CheckResult {
    CheckStatus status = CheckStatus::Ok;
    std::string detail; // one sentence
    std::string fix;    // what to do, for a failure
    int exitCode = 0;   // for a failure: the code the command that meets it would end with
};

// What the checks learn on the way and hand on to the later ones: the port with its library, the panel
// that holds the link when one runs, the virtual board's control connection.
struct DoctorContext {
    std::unique_ptr<TJtagPort> port;
    std::unique_ptr<PanelLink> panel;
    std::unique_ptr<sim::BoardControl> virtualBoard;
    bool commandInFlight = false;
    bool virtualEdition() const;
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

} // namespace qbv::cli
