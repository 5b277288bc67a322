// The window as its session's view: every input handed to the session's gate, the state drawn, and what
// the session says shown.

#include "app/BoardMenu.h"
#include "app/UnitMain.h"

#include "board/BoardProtocol.h"
#include "common/Format.h"
#include "common/Texts.h"
#include "widgets/InputHold.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>

using namespace qbv::colour;
using qbv::session::Action;
using qbv::session::State;
using qbv::session::Verdict;

void TFormMain::TimerBootTimer(QObject*) {
    TimerBoot->SetEnabled(false);
    // A sequence or job that the user started first makes this one needless.
    if (FSession.accepts(Action::Connect))
        PostWindowMessage(WM_CONNECT_BOARD);
}

bool TFormMain::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(WM_CONNECT_BOARD))
        FSession.request(Action::Connect);
    else if (event->type() == static_cast<QEvent::Type>(WM_PROGRAM_MAXII))
        FSession.request(Action::Program);
    return QWidget::event(event);
}

void TFormMain::PostWindowMessage(int message) {
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(message)));
}

void TFormMain::SpeedButtonConnectClick(QObject*) {
    FSession.request(Action::Connect);
}

void TFormMain::SpeedButtonDownloadClick(QObject*) {
    FSession.request(Action::Program);
}

void TFormMain::SpeedButtonLedClick(QObject* Sender) {
    const auto first = FIoButtons.begin();
    const auto found = std::find(first, first + qbv::kLedCount, Sender);
    if (found == first + qbv::kLedCount)
        return;
    // Every LED command carries all eight LEDs, as the buttons stand after this click's own flip.
    uint8_t mask = 0;
    for (int led = 0; led < qbv::kLedCount; ++led) {
        mask = static_cast<uint8_t>(mask << 1);
        if (FIoButtons[led]->Down())
            mask |= 1;
    }
    SendIoCommand(*found, Action::SetLeds, mask);
}

void TFormMain::SpeedButtonPioClick(QObject* Sender) {
    const auto first = FIoButtons.begin() + kFirstGpioSlot;
    const auto found = std::find(first, FIoButtons.end(), Sender);
    if (found == FIoButtons.end())
        return;
    const int pin = static_cast<int>(found - first);
    SendIoCommand(*found, Action::SetPin, qbv::board::pinByte(pin, (*found)->Down()));
}

void TFormMain::SendIoCommand(TSpeedButton* button, Action action, uint8_t data) {
    // A click the gate drops sends nothing: the button, which flipped as it was clicked, shows the board's
    // state again.
    if (!FSession.accepts(action)) {
        button->SetDown(!button->Down());
        return;
    }
    // The clicked button shows its disabled frame and the cursor the hourglass while the command runs. A
    // disabled button gives its focus away: one switched from the keyboard takes it back, so that Space
    // again switches the same one.
    const bool focused = button->hasFocus();
    button->setEnabled(false);
    button->repaint();
    SetBusyCursor(true);
    FSession.request(action, data);
    UpdateCursor();
    button->setEnabled(true);
    if (focused && button->isVisible())
        button->setFocus(Qt::OtherFocusReason);
}

// The session says when the next poll is due.
void TFormMain::TimerButtonPollingTimer(QObject*) {
    TimerButtonPolling->SetEnabled(false);
    FSession.request(Action::PollKeys);
}

void TFormMain::startPolling() {
    TimerButtonPolling->SetEnabled(true);
}

void TFormMain::pollAfter(uint32_t milliseconds) {
    TimerButtonPolling->SetInterval(static_cast<int>(milliseconds));
    TimerButtonPolling->SetEnabled(true);
}

void TFormMain::DrawState(State state) {
    UpdateCursor();
    const std::optional<qbv::session::Look> shown = qbv::session::lookOf(state);
    if (!shown) {
        // The window stays as the user last saw it; a closing one takes no input and offers no menu.
        if (FSession.closing()) {
            FInputHold->setHeld(true);
            FMenu->dismiss();
        }
        return;
    }
    const qbv::session::Look look = *shown;
    if (look == FLookDrawn)
        return;
    FLookDrawn = look;
    SpeedButtonConnect->setVisible(look.connect);
    SpeedButtonDownload->setVisible(look.download);
    SpeedButtonExit->setVisible(look.exit);
    SetIoButtonsVisible(look.controls);
}

void TFormMain::showStatus(const std::string& text, Colour colour) {
    ShowStatus(QString::fromStdString(text), colour);
}

void TFormMain::openBox(const qbv::session::Box& box) {
    OpenBox(box.kind, QString::fromStdString(box.text), box.question ? BoxButtons::YesNo : BoxButtons::Ok,
            QString::fromStdString(box.detail), [this](BoxAnswer answer) {
                FSession.answer(answer == BoxAnswer::Yes  ? qbv::session::Answer::Yes
                                : answer == BoxAnswer::No ? qbv::session::Answer::No
                                                          : qbv::session::Answer::Ok);
            });
}

void TFormMain::closeBox() {
    FMessageBoxes->dismiss();
    FBoxesUp = 0;
    UpdateCursor();
}

void TFormMain::commandTaken(int32_t command, uint8_t data) {
    // A script's command shows as a click's does: the LEDs and pins latched as the board took them.
    if (command == qbv::board::kSetLeds) {
        for (int led = 0; led < qbv::kLedCount; ++led)
            FIoButtons[led]->SetDown(data & qbv::ledBit(qbv::ledAt(led)));
    } else if (const int pin = qbv::board::pinOf(data);
               command == qbv::board::kSetGpioPin && pin < qbv::kPinCount) {
        FIoButtons[kFirstGpioSlot + pin]->SetDown(qbv::board::pinActive(data));
    }
}

void TFormMain::startProgressRun(uint32_t durationMs) {
    StartProgressRun(durationMs);
    ShowProgress(0);
    TimerProgress->SetInterval(100);
    TimerProgress->SetEnabled(true);
}
