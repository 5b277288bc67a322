#include "ProgrammingJob.h"

#include "ChainDefinitionFile.h"
#include "QuartusLocation.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Files.h"
#include "platform/ProgramLocation.h"
#include "platform/VendorToolchain.h"

namespace qbv::programming {

std::string designFilePath(const std::string& folder) {
    return folder + kDesignFileName;
}

std::string chainFilePath(const std::string& folder) {
    return folder + kChainFileName;
}

std::optional<MessageKind> messageKindOf(ProgrammingError error) {
    switch (error) {
    case ProgrammingError::NoToolChain:
    case ProgrammingError::NoProgrammer:
    case ProgrammingError::NoDesignFile:
    case ProgrammingError::ChainFileNotCreated:
    case ProgrammingError::NoChainFile:
        return MessageKind::Error;
    case ProgrammingError::UnexpectedExitCode:
        return MessageKind::Information;
    default:
        return std::nullopt;
    }
}

bool ProgrammingJob::fail(ProgrammingError error, std::string text, std::string reason) {
    error_ = error;
    errorString_ = std::move(text);
    reason_ = std::move(reason);
    return false;
}

// A tool chain folder beside the program comes before the one the system records. The virtual board's
// program folders (the demo's, and build/release/bin/) hold the stand-in programmer there, which programs
// the board that the panel and qbv talk to; a real tool chain's would program a real board.
ToolChain toolChainInUse(const std::string& folder) {
    const std::string beside = folder + kToolChainBeside;
    if (platform::fileExists(programmerPath(beside)))
        return {beside, "the program's folder", {}};
    platform::VendorInstall recorded = platform::vendorInstall();
    return {std::move(recorded.directory), std::move(recorded.source),
            formatText("No tool chain was found: %s, and no %s lies beside the program.",
                       platform::toolchainWords().missing, programmerPath(beside).c_str())};
}

std::string lookedIn(const std::string& installDirectory, const std::string& namedBy) {
    return formatText("The tool chain in %s (from %s) has no programmer: it was looked for as %s.",
                      installDirectory.c_str(), namedBy.c_str(), programmerPlaces(installDirectory).c_str());
}

bool ProgrammingJob::prepare() {
    const auto [installDirectory, namedBy, lookedFor] = toolChainInUse(folder_);
    if (installDirectory.empty())
        return fail(ProgrammingError::NoToolChain, text::kNoQuartus, lookedFor);
    if (std::string why = programmerDistrust(installDirectory, namedBy); !why.empty())
        return fail(ProgrammingError::NoToolChain, text::kNoQuartus, std::move(why));
    programmer_ = programmerPath(installDirectory);
    if (!platform::fileExists(programmer_))
        return fail(ProgrammingError::NoProgrammer, formatText(text::kNoProgrammer, programmer_.c_str()),
                    lookedIn(installDirectory, namedBy));
    if (!platform::fileExists(designFile_))
        return fail(ProgrammingError::NoDesignFile, formatText(text::kNoDesignFile, designFile_.c_str()));
    if (!WriteChainDefinitionFile(chainFile_, designFile_)) {
        // An installed program's folder belongs to the system: the file goes to the user's own folder then,
        // with the same bytes. Only when both fail does the user hear of it, about the usual place, and
        // why the user's folder was not used when it could not be trusted.
        std::string refusal;
        const std::string cache = platform::userCacheFolder(&refusal);
        if (cache.empty() || !WriteChainDefinitionFile(cache + kChainFileName, designFile_))
            return fail(ProgrammingError::ChainFileNotCreated,
                        formatText(text::kChainFileNotCreated, chainFile_.c_str()), std::move(refusal));
        chainFile_ = cache + kChainFileName;
    }
    if (!platform::fileExists(chainFile_))
        return fail(ProgrammingError::NoChainFile, formatText(text::kNoChainFile, chainFile_.c_str()));
    return true;
}

bool ProgrammingJob::run() {
    return judge(RunProgrammer({programmer_, chainFile_, outputToErrorStream_}, timeoutMs_, pump_));
}

bool ProgrammingJob::start() {
    process_ = std::make_unique<platform::ChildProcess>();
    if (process_->start(ProgrammerInvocation{programmer_, chainFile_, outputToErrorStream_}.launch())) {
        wait_.emplace(*process_, timeoutMs_);
        return true;
    }
    const std::string why = process_->errorString();
    process_.reset();
    return judge({ProgrammerEnd::NotStarted, 0, why});
}

std::optional<bool> ProgrammingJob::pass() {
    if (!wait_)
        return false;
    const std::optional<ProgrammerRun> ended = wait_->pass();
    if (!ended)
        return std::nullopt;
    wait_.reset();
    process_.reset();
    return judge(*ended);
}

bool ProgrammingJob::judge(const ProgrammerRun& ran) {
    ran_ = ran;
    switch (ran.end) {
    case ProgrammerEnd::Succeeded:
        return true;
    case ProgrammerEnd::Failed:
        return fail(ProgrammingError::ProgrammerFailed, {});
    case ProgrammerEnd::UnexpectedExitCode:
        return fail(ProgrammingError::UnexpectedExitCode, formatText(text::kExitCode, ran.exitCode));
    case ProgrammerEnd::TimedOut:
        return fail(ProgrammingError::TimedOut, {});
    case ProgrammerEnd::NotStarted:
        break;
    }
    return fail(ProgrammingError::ProgrammerNotStarted,
                formatText("cannot start %s: %s", programmer_.c_str(), ran.startFailure.c_str()));
}

} // namespace qbv::programming
