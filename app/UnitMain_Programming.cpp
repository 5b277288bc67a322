// The programming job as the window runs it: everything hidden and the link down while the vendor's
// programmer writes the MAX II, then the connection sequence again after a success.

#include "app/UnitMain.h"

#include "programming/DownloadMaxIICode.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

namespace {
constexpr uint32_t kProgrammingProgressMs = 30000;
}

void TFormMain::SpeedButtonDownloadClick(QObject*) {
    // No job or connection sequence nests inside another: one cable, one job.
    if (FBusy || FProgramming)
        return;
    ProgramMaxII();
}

void TFormMain::ProgramMaxII() {
    FProgramming = true;
    // A boot tick still to come would run a connection sequence inside the job's wait.
    TimerBoot->SetEnabled(false);
    FBusy = true;
    SetIoButtonsVisible(false);
    SpeedButtonDownload->setVisible(false);
    SpeedButtonExit->setVisible(false);
    SetBusyCursor(true);
    StartProgressRun(kProgrammingProgressMs);
    TimerProgress->SetEnabled(true);
    ShowProgress(0);
    TimerProgress->SetInterval(100);
    TimerProgress->SetEnabled(true);
    TimerButtonPolling->SetEnabled(false);
    FConnected = false;
    DestroyJtagPort();
    const bool ok = DownloadMaxIICode();
    EndProgressRun();
    if (ok)
        ConnectBoard();
    SetBusyCursor(false);
    SpeedButtonDownload->setVisible(true);
    SpeedButtonExit->setVisible(true);
    SetIoButtonsVisible(FConnected && ok);
    FBusy = false;
    FProgramming = false;
}

bool TFormMain::DownloadMaxIICode() {
    return qbv::programming::DownloadMaxIICode([this](const std::string& text, qbv::colour::Colour colour) {
        ShowStatus(QString::fromLocal8Bit(text), colour);
    });
}
