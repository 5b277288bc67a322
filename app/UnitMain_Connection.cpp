// The board link: the connection sequence, the JTAG port's life, a lost connection, and the window's
// door to the board's commands.

#include "app/UnitMain.h"

#include "board/BoardProtocol.h"
#include "board/Connection.h"
#include "board/Jtagport.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "platform/ProgramLocation.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <cstdio>

using namespace qbv::colour;

namespace {

QString boardText(const char* format) {
    return QString::fromStdString(qbv::formatText(format, qbv::text::kBoardName));
}

// One second after the board answered, so the window settles before the controls appear.
constexpr uint32_t kSettleMs = 1000;

} // namespace

void TFormMain::TimerBootTimer(QObject*) {
    TimerBoot->SetEnabled(false);
    ShowStatus(boardText(qbv::text::kConnecting), kBlue);
    PostWindowMessage(WM_CONNECT_BOARD);
}

void TFormMain::SpeedButtonConnectClick(QObject*) {
    // A sequence or a programming job is already running: a second one must not open the cable under it.
    if (FBusy || FProgramming)
        return;
    ConnectBoard();
}

bool TFormMain::ConnectBoard() {
    FConnected = false;
    FBusy = true;
    SpeedButtonConnect->setVisible(false);
    // Download stays out of reach while the sequence runs; it comes back with success or a declined offer.
    SpeedButtonDownload->setVisible(false);
    TimerButtonPolling->SetEnabled(false);
    SpeedButtonExit->setVisible(false);
    ReleaseAllIoButtons();
    // The library's load, the open and the two commands block the window for up to seconds.
    SetBusyCursor(true);
    ShowStatus(boardText(qbv::text::kConnecting), kBlue);
    DestroyJtagPort();
    CreateJtagPort();
    uint8_t keyState = 0;
    const qbv::board::ConnectOutcome outcome =
        qbv::board::ConnectPort(*FJtagPort, FCommandInFlight, keyState);
    LogConnectOutcome(outcome, keyState);
    switch (outcome) {
    case qbv::board::ConnectOutcome::LibraryNotLoaded:
        DestroyJtagPort();
        EndProgressRun();
        ShowStatus(QString::fromLatin1(qbv::text::kFailLoadDriver), kRed);
        ShowBox(qbv::MessageKind::Error, QString::fromLatin1(qbv::text::kFailLoadDriver), BoxButtons::Ok);
        SpeedButtonConnect->setVisible(true);
        break;
    case qbv::board::ConnectOutcome::LinkNotOpened:
        // The boxes keep their words; the library's own reason, when it gives one, goes to the terminal.
        if (!FJtagPort->linkErrorString().empty())
            std::fprintf(stderr, "%s: %s\n", qbv::platform::executableName().c_str(),
                         FJtagPort->linkErrorString().c_str());
        DestroyJtagPort();
        EndProgressRun();
        ShowStatus(boardText(qbv::text::kFailConnect), kRed);
        ShowBox(qbv::MessageKind::Error, boardText(qbv::text::kFailConnectChecklist), BoxButtons::Ok);
        SpeedButtonConnect->setVisible(true);
        // The checklist names a controller without its code as one cause: programming must be in reach.
        SpeedButtonDownload->setVisible(true);
        break;
    case qbv::board::ConnectOutcome::NoResponse:
        EndProgressRun();
        BoardDidNotAnswer();
        break;
    case qbv::board::ConnectOutcome::Connected:
        EndProgressRun();
        BoardAnswered();
        break;
    }
    SpeedButtonExit->setVisible(true);
    if (!FProgramming) // a job keeps its hourglass until it ends
        SetBusyCursor(false);
    FBusy = false;
    return FConnected;
}

void TFormMain::LogConnectOutcome(qbv::board::ConnectOutcome outcome, uint8_t keyState) {
    using qbv::board::ConnectOutcome;
    const QString library = QString::fromLocal8Bit(FJtagPort->LibraryPath());
    switch (outcome) {
    case ConnectOutcome::LibraryNotLoaded:
        Log(QStringLiteral("Connect: the JTAG library did not load: %1")
                .arg(QString::fromLocal8Bit(FJtagPort->errorString())));
        break;
    case ConnectOutcome::LinkNotOpened: {
        const std::string reason = FJtagPort->linkErrorString();
        Log(QStringLiteral("Connect: the link did not open (%1)%2")
                .arg(library,
                     reason.empty() ? QString() : QStringLiteral(": ") + QString::fromLocal8Bit(reason)));
        break;
    }
    case ConnectOutcome::NoResponse:
        Log(QStringLiteral("Connect: commands 00 (ping) and 06 (read keys): no answer from the board"));
        break;
    case ConnectOutcome::Connected:
        Log(QStringLiteral("Connect: commands 00 (ping) and 06 (read keys) answered, keys 0x%1 (%2)")
                .arg(keyState, 2, 16, QLatin1Char('0'))
                .arg(library));
        break;
    }
}

void TFormMain::BoardAnswered() {
    WaitPumping(kSettleMs);
    ShowStatus(boardText(qbv::text::kConnectSuccess), kGreen);
    FConnected = true;
    SetIoButtonsVisible(true);
    SpeedButtonDownload->setVisible(true);
    TimerButtonPolling->SetEnabled(false);
    TimerButtonPolling->SetEnabled(true);
    SetWindowEnabled(true);
}

void TFormMain::BoardDidNotAnswer() {
    if (FJtagPort)
        FJtagPort->Close();
    DestroyJtagPort();
    ShowStatus(boardText(qbv::text::kNoResponse), kRed);
    if (ShowBox(qbv::MessageKind::Error, boardText(qbv::text::kNoResponseQuestion), BoxButtons::YesNo) ==
        BoxAnswer::Yes)
        PostWindowMessage(WM_PROGRAM_MAXII);
    else
        SpeedButtonDownload->setVisible(true);
}

void TFormMain::CreateJtagPort() {
    DestroyJtagPort();
    FJtagPort = std::make_unique<TJtagPort>();
    FJtagPort->SetMessagePump(&TFormMain::PumpMessages);
    // The library's own box comes the moment it failed to load, before the sequence says more.
    if (FJtagPort->error() != JtagPortError::NoError)
        ShowBox(qbv::MessageKind::Error, QString::fromLocal8Bit(FJtagPort->errorString()), BoxButtons::Ok);
}

void TFormMain::DestroyJtagPort() {
    if (!FJtagPort)
        return;
    FJtagPort->Close();
    FJtagPort.reset();
}

void TFormMain::ConnectionLost() {
    Log(QString::fromLatin1(qbv::text::kLostConnection));
    FConnected = false;
    ShowStatus(QString::fromLatin1(qbv::text::kLostConnection), kRed);
    DestroyJtagPort();
    SpeedButtonConnect->setVisible(true);
    SpeedButtonDownload->setVisible(true);
    SetIoButtonsVisible(false);
}

bool TFormMain::SendCommand(int32_t command, uint8_t* data) {
    return qbv::board::SendCommand(*FJtagPort, FCommandInFlight, command, data);
}
