#include "doctor/Doctor.h"

#include "common/EnumTable.h"
#include "common/ExitCode.h"

namespace qbv::doctor {

namespace {

constexpr EnumName<CheckStatus> kStatusNames[] = {
    {CheckStatus::Ok, "ok"},
    {CheckStatus::Failed, "failed"},
    {CheckStatus::Skipped, "skipped"},
    {CheckStatus::Going, "going"},
};
static_assert(namesInEnumOrder(kStatusNames, kCheckStatusCount));

// The columns of a line in words: the status, the check's name (wide enough for the longest), the sentence.
constexpr size_t kStatusWidth = 9;
constexpr size_t kNameWidth = 21;
constexpr const char* kAfterFailure = "Not checked after the failure above.";

std::string columns(const std::string& status, const std::string& name) {
    std::string line = status;
    line.resize(kStatusWidth, ' ');
    line += name;
    line.resize(kStatusWidth + kNameWidth, ' ');
    return line;
}

} // namespace

Doctor::Doctor(DoctorContext context) : context_(std::move(context)) {}

Doctor::~Doctor() {
    if (context_.ownPort)
        context_.ownPort->Close();
}

// Whether a check belongs to this run is known only once the checks before it have learnt enough (the
// library's edition), so it is asked as the machine gets there.
size_t Doctor::nextIndex() const {
    const std::span<const DoctorCheck> checks = doctorChecks();
    size_t index = index_;
    while (index < checks.size() && !checks[index].applies(context_))
        ++index;
    return index;
}

bool Doctor::done() const {
    return nextIndex() >= doctorChecks().size();
}

std::optional<CheckLine> Doctor::step() {
    index_ = nextIndex();
    const DoctorCheck& check = doctorChecks()[index_];
    if (!skipWhy_.empty()) {
        ++index_;
        return CheckLine{check.name, {CheckStatus::Skipped, skipWhy_, {}, 0}};
    }
    CheckResult result = check.run(context_);
    if (result.status == CheckStatus::Going)
        return std::nullopt;
    ++index_;
    if (result.status == CheckStatus::Failed) {
        exitCode_ = result.exitCode;
        skipWhy_ = kAfterFailure;
    }
    return CheckLine{check.name, std::move(result)};
}

void Doctor::interrupt(std::string why) {
    if (!skipWhy_.empty())
        return;
    skipWhy_ = std::move(why);
    interrupted_ = true;
}

int Doctor::exitCode() const {
    return interrupted_ ? kExitInterrupted : exitCode_;
}

Ending Doctor::ending() const {
    return interrupted_ ? Ending::Interrupted : exitCode_ != 0 ? Ending::Failed : Ending::Passed;
}

const char* endingWords(Ending ending) {
    switch (ending) {
    case Ending::Passed:
        return kAllPassed;
    case Ending::Failed:
        return "Stopped at the first failure.";
    case Ending::Interrupted:
        break;
    }
    return "Interrupted.";
}

const char* statusName(CheckStatus status) {
    return rowOf(kStatusNames, status).name;
}

std::string reportLines(const CheckLine& line) {
    std::string text = columns(statusName(line.result.status), line.name) + line.result.detail + "\n";
    if (!line.result.fix.empty())
        text += columns("", "what to do:") + line.result.fix + "\n";
    return text;
}

} // namespace qbv::doctor
