// The programming job as the window runs it: everything hidden and the link down while the vendor's
// programmer writes the MAX II, then the connection sequence again after a success.

#include "app/UnitMain.h"

#include "common/Texts.h"
#include "programming/ProgrammingJob.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QElapsedTimer>

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
    using namespace qbv::colour;
    ShowStatus(QString::fromLatin1(qbv::text::kDownloadStart), kBlue);
    qbv::programming::ProgrammingJob job;
    job.setMessagePump(&TFormMain::PumpMessages);
    bool ok = job.prepare();
    if (ok) {
        ShowStatus(QString::fromLatin1(qbv::text::kDownloadRunning), kBlue);
        Log(QStringLiteral("Programmer: %1").arg(QString::fromLocal8Bit(job.commandLine())));
        QElapsedTimer took;
        took.start();
        ok = job.run();
        LogProgrammerEnd(job.lastRun(), took.elapsed());
    } else {
        Log(QStringLiteral("Programming checks: %1").arg(QString::fromLocal8Bit(job.errorString())));
    }
    // A failed check's error box, or the unexpected exit code's information box, before the red status.
    if (const std::optional<qbv::MessageKind> kind = qbv::programming::messageKindOf(job.error()))
        ShowBox(*kind, QString::fromLocal8Bit(job.errorString()), BoxButtons::Ok);
    ShowStatus(QString::fromLatin1(ok ? qbv::text::kDownloadSuccess : qbv::text::kDownloadFail),
               ok ? kGreen : kRed);
    Log(QString::fromLatin1(ok ? qbv::text::kDownloadSuccess : qbv::text::kDownloadFail));
    return ok;
}

void TFormMain::LogProgrammerEnd(const qbv::programming::ProgrammerRun& ran, qint64 milliseconds) {
    using qbv::programming::ProgrammerEnd;
    switch (ran.end) {
    case ProgrammerEnd::TimedOut:
        Log(QStringLiteral("Programmer still running after %1 ms: left to finish on its own")
                .arg(milliseconds));
        break;
    case ProgrammerEnd::NotStarted:
        Log(QStringLiteral("Programmer not started: %1").arg(QString::fromLocal8Bit(ran.startFailure)));
        break;
    default:
        Log(QStringLiteral("Programmer ended with exit code 0x%1 after %2 ms")
                .arg(ran.exitCode, 0, 16)
                .arg(milliseconds));
    }
}
