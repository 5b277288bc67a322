#include "Commands.h"
#include "Doctor.h"
#include "ExitCode.h"

#include <string>

namespace qbv::cli {

namespace {

constexpr const char* kStatusNames[] = {"ok", "failed", "skipped"};
// The columns of a line in words: the status, the check's name (wide enough for the longest), the sentence.
constexpr size_t kStatusWidth = 9;
constexpr size_t kNameWidth = 21;

const char* statusName(CheckStatus status) {
    return kStatusNames[static_cast<int>(status)];
}

std::string columns(const std::string& status, const std::string& name) {
    std::string line = status;
    line.resize(kStatusWidth, ' ');
    line += name;
    line.resize(kStatusWidth + kNameWidth, ' ');
    return line;
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
    console.out << columns(statusName(result.status), name) << result.detail << std::endl;
    if (!result.fix.empty())
        console.out << columns("", "what to do:") << result.fix << std::endl;
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
