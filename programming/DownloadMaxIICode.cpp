#include "DownloadMaxIICode.h"

#include "ChainDefinitionFile.h"
#include "QuartusLocation.h"
#include "common/Texts.h"
#include "platform/Files.h"
#include "common/Format.h"
#include "platform/ProgramLocation.h"
#include "platform/UiHost.h"
#include "platform/VendorToolchain.h"

namespace qbv::programming {

namespace {

// Runs the checks in order and returns the error text of the first that fails, empty when all pass.
// Sets programmer to the programmer's path once the install directory is known.
std::string prepareDownload(std::string& programmer, const std::string& designFile,
                            const std::string& chainFile) {
    const std::string installDirectory = FindQuartusDirectory();
    if (installDirectory.empty())
        return text::kNoQuartus;
    programmer = programmerPath(installDirectory);
    if (!platform::fileExists(programmer))
        return formatText(text::kNoProgrammer, programmer.c_str());
    if (!platform::fileExists(designFile))
        return formatText(text::kNoDesignFile, designFile.c_str());
    if (!WriteChainDefinitionFile(chainFile, designFile))
        return formatText(text::kChainFileNotCreated, chainFile.c_str());
    if (!platform::fileExists(chainFile))
        return formatText(text::kNoChainFile, chainFile.c_str());
    return std::string();
}

} // namespace

std::string designFilePath() {
    return platform::programDirectory() + kDesignFileName;
}

std::string chainFilePath() {
    return platform::programDirectory() + kChainFileName;
}

bool DownloadMaxIICode(const StatusSink& showStatus, uint32_t timeoutMs, std::string* whyNotStarted) {
    std::string programmer = platform::programmerFileName();
    const std::string designFile = designFilePath();
    const std::string chainFile = chainFilePath();

    showStatus(text::kDownloadStart, colour::kBlue);
    const std::string error = prepareDownload(programmer, designFile, chainFile);
    bool ok = false;
    if (error.empty()) {
        showStatus(text::kDownloadRunning, colour::kBlue);
        std::string reason;
        ok = RunProgrammer({programmer, chainFile}, timeoutMs, &reason);
        if (whyNotStarted && !reason.empty())
            *whyNotStarted = formatText("cannot start %s: %s", programmer.c_str(), reason.c_str());
    } else {
        uiHost().messageBox(BoxKind::Error, error, BoxButtons::Ok);
    }
    showStatus(ok ? text::kDownloadSuccess : text::kDownloadFail, ok ? colour::kGreen : colour::kRed);
    return ok;
}

} // namespace qbv::programming
