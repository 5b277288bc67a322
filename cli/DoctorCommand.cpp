#include "BoardLink.h"
#include "Commands.h"
#include "common/ExitCode.h"
#include "doctor/Doctor.h"
#include "sim/control/BoardControl.h"

#include <string>

namespace qbv::cli {

namespace {

using doctor::CheckLine;
using doctor::CheckResult;
using doctor::CheckStatus;

// A running panel of this folder, asked for the link's part of the way.
class PanelHolder final : public doctor::LinkHolder {
public:
    explicit PanelHolder(std::unique_ptr<PanelLink> panel) : panel_(std::move(panel)) {}

    CheckResult ping() override {
        const Outcome outcome = panel_->ping();
        if (outcome.done())
            return {};
        return {CheckStatus::Failed,
                outcome.reason.empty() ? outcome.text : outcome.text + ": " + outcome.reason,
                fixFor(outcome.exitCode), outcome.exitCode};
    }

private:
    static std::string fixFor(int exitCode) {
        if (exitCode == kExitPanelBusy)
            return "Let the control panel finish, or run qbv doctor with the panel closed.";
        if (exitCode == kExitNoResponse)
            return "Program the controller: qbv program.";
        return "Connect the board in the control panel, then run qbv doctor again.";
    }

    std::unique_ptr<PanelLink> panel_;
};

// The virtual board, looked at through its control.
class ControlProbe final : public doctor::VirtualBoardProbe {
public:
    const std::string& name() const override { return name_; }
    std::string linkSocketPath(std::string& refusal) const override {
        return sim::linkSocketPath(name_, &refusal);
    }
    bool connect(std::string& why) override {
        const bool connected = control_.connect();
        why = control_.errorDetails();
        return connected;
    }
    std::optional<doctor::VirtualBoardState> state(std::string& reply) override {
        sim::BoardState state;
        const bool said = control_.state(state);
        reply = control_.lastReply();
        return said
                   ? std::optional(doctor::VirtualBoardState{state.plugged, state.programmed, state.linkOpen})
                   : std::nullopt;
    }

private:
    std::string name_ = sim::boardNameFromEnvironment();
    sim::BoardControl control_{name_};
};

std::unique_ptr<doctor::LinkHolder> runningPanel(Reporter& reporter) {
    auto panel = std::make_unique<PanelLink>(reporter);
    if (!panel->open())
        return nullptr;
    return std::make_unique<PanelHolder>(std::move(panel));
}

void report(Reporter& reporter, const CheckLine& line) {
    Console& console = reporter.console();
    if (!reporter.json()) {
        console.out << doctor::reportLines(line) << std::flush;
        return;
    }
    console.out << jsonText({{"name", line.name},
                             {"status", doctor::statusName(line.result.status)},
                             {"detail", line.result.detail},
                             {"fix", line.result.fix}})
                << std::endl;
}

} // namespace

// Every check in order, each reported as it ends. Ctrl+C, looked for between steps (each one board command
// at most), skips the rest.
int runDoctor(const Invocation&, Reporter& reporter) {
    doctor::DoctorContext context;
    context.folder = reporter.console().folder;
    context.systemRoot = reporter.console().systemRoot;
    context.findHolder = [&reporter] { return runningPanel(reporter); };
    context.probeVirtualBoard = [] { return std::make_unique<ControlProbe>(); };
    doctor::Doctor checks(std::move(context));
    while (!checks.done()) {
        if (reporter.console().interrupted())
            checks.interrupt("Not checked: interrupted.");
        if (const std::optional<CheckLine> line = checks.step())
            report(reporter, *line);
    }
    const int exitCode = checks.exitCode();
    if (!reporter.json()) {
        std::string last = doctor::endingWords(checks.ending());
        if (exitCode != kExitSuccess)
            last.back() = ';';
        reporter.console().out << last
                               << (exitCode == kExitSuccess ? ""
                                                            : " exit code " + std::to_string(exitCode) + ".")
                               << std::endl;
    }
    return exitCode;
}

} // namespace qbv::cli
