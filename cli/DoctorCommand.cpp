#include "Commands.h"
#include "Doctor.h"
#include "ExitCode.h"

#include <cstring>

namespace qbv::cli {

namespace {

constexpr const char* kStatusNames[] = {"ok", "failed", "skipped"};
// Wide enough for the longest check's name, so the sentences start in one column.
constexpr int kNameColumn = 21;

const char* statusName(CheckStatus status) {
    return kStatusNames[static_cast<int>(status)];
}

void report(Reporter& reporter, const char* name, const CheckResult& result) {
    Console& console = reporter.console();
    if (reporter.json()) {
        console.out << jsonText({{"name", name},
                                 {"status", statusName(result.status)},
                                 {"detail", result.detail},
                                 {"fix", result.fix}})
                    << std::endl;
        return;
    }
    std::string line = std::string(statusName(result.status)) +
                       std::string(9 - std::strlen(statusName(result.status)), ' ') + name;
    line.resize(9 + kNameColumn, ' ');
    console.out << line << result.detail << std::endl;
    if (!result.fix.empty())
        console.out << std::string(9, ' ') << "what to do:" << std::string(kNameColumn - 11, ' ')
                    << result.fix << std::endl;
}

} // namespace

// Every check in order, each reported as it ends; after the first failure the rest are named as skipped,
// so that the report says how far the way to the board was followed.
int runDoctor(const Invocation&, Reporter& reporter) {
    DoctorContext context;
    int exitCode = kExitSuccess;
    for (const DoctorCheck& check : doctorChecks()) {
        if (!check.applies(context))
            continue;
        if (exitCode != kExitSuccess) {
            report(reporter, check.name,
                   {CheckStatus::Skipped, "Not checked after the failure above.", {}, 0});
            continue;
        }
        if (reporter.console().interrupted()) {
            exitCode = kExitInterrupted;
            report(reporter, check.name, {CheckStatus::Skipped, "Not checked: interrupted.", {}, 0});
            continue;
        }
        const CheckResult result = check.run(context);
        report(reporter, check.name, result);
        if (result.status == CheckStatus::Failed)
            exitCode = result.exitCode;
    }
    if (context.port)
        context.port->Close();
    if (!reporter.json())
        reporter.console().out << (exitCode == kExitSuccess ? "All checks passed."
                                                            : "Stopped at the first failure; exit code " +
                                                                  std::to_string(exitCode) + ".")
                               << std::endl;
    return exitCode;
}

} // namespace qbv::cli
