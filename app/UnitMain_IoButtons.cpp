// The 96 LED and GPIO buttons over the board picture: their creation, their clicks, showing, hiding and
// releasing them.

#include "app/UnitMain.h"

#include "board/BoardProtocol.h"
#include "board/Jtagport.h"
#include "common/Texts.h"
#include "resources/LayoutQt.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"

#include <QApplication>

namespace layout = qbv::layout;
using layout::toQRect;
using layout::toRect;
using namespace qbv::colour;

namespace {

// Toggle groups: each button alone in its own, so that it latches independently.
constexpr int kFirstLedGroup = 16;
constexpr int kFirstPinGroup = 32;

} // namespace

TSpeedButton* TFormMain::CreateIoButton(const QRect& rect, int group, void (TFormMain::*handler)(QObject*)) {
    auto* button = new TSpeedButton(this);
    button->setGeometry(rect);
    button->setText(QString());
    button->setGroupIndex(group);
    button->setAllowAllUp(true);
    connect(button, &TSpeedButton::clicked, this, [this, button, handler] { (this->*handler)(button); });
    button->setVisible(true);
    return button;
}

void TFormMain::CreateLedButtons() {
    const layout::Rect box = toRect(PaintBoxLed->geometry());
    for (int led = 0; led < qbv::kLedCount; ++led) {
        TSpeedButton* button = CreateIoButton(toQRect(layout::ledButtonRect(box, led)), kFirstLedGroup + led,
                                              &TFormMain::SpeedButtonLedClick);
        BuildButtonGlyph(button, 4, true, ImageLedOn);
        // The board's printed name and the number qbv gives it.
        button->setToolTip(QStringLiteral("%1 (qbv led bit %2)")
                               .arg(QString::fromStdString(qbv::ledLabel(led)))
                               .arg(qbv::ledMaskBit(led)));
        FIoButtons[led] = button;
    }
}

void TFormMain::CreateGpioButtonsA() {
    CreateGpioButtons(layout::kGridA, PaintBoxGPIOa, 0);
}

void TFormMain::CreateGpioButtonsB() {
    // Grid B's pins number on from grid A's.
    const int firstPin =
        static_cast<int>(layout::gpioButtons(layout::kGridA, toRect(PaintBoxGPIOa->geometry()), 0).size());
    CreateGpioButtons(layout::kGridB, PaintBoxGPIOb, firstPin);
}

void TFormMain::CreateGpioButtons(const layout::GpioGrid& grid, const TPaintBox* box, int firstPin) {
    for (const layout::PinButton& pin : layout::gpioButtons(grid, toRect(box->geometry()), firstPin)) {
        TSpeedButton* button =
            CreateIoButton(toQRect(pin.rect), kFirstPinGroup + pin.pin, &TFormMain::SpeedButtonPioClick);
        BuildButtonGlyph(button, 4, false, ImagePioOn);
        button->setToolTip(QString::fromStdString(layout::gpioLabel(pin.pin)));
        FIoButtons[kFirstGpioSlot + pin.pin] = button;
    }
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
    const IoCommand command{qbv::board::kSetLeds, mask, qbv::text::kUpdateLed, qbv::text::kUpdateLedSuccess,
                            qbv::text::kUpdateLedFail};
    SendIoCommand(*found, command);
}

void TFormMain::SpeedButtonPioClick(QObject* Sender) {
    const auto first = FIoButtons.begin() + kFirstGpioSlot;
    const auto found = std::find(first, FIoButtons.end(), Sender);
    if (found == FIoButtons.end())
        return;
    const int pin = static_cast<int>(found - first);
    const IoCommand command{qbv::board::kSetGpioPin, qbv::board::pinByte(pin, (*found)->Down()), nullptr,
                            qbv::text::kUpdateGpioSuccess, qbv::text::kUpdateGpioFail};
    SendIoCommand(*found, command);
}

void TFormMain::SendIoCommand(TSpeedButton* button, const IoCommand& command) {
    // The clicked button shows its disabled frame and the cursor the hourglass while the command runs.
    button->setEnabled(false);
    button->repaint();
    SetBusyCursor(true);
    if (command.underWay)
        ShowStatus(QString::fromLatin1(command.underWay), kBlue);
    bool success = false;
    uint8_t data = command.data;
    if (FJtagPort && FJtagPort->IsOpen())
        success = SendCommand(command.number, &data);
    Log(QStringLiteral("Command %1: %2")
            .arg(QString::fromStdString(qbv::board::commandBytesText(command.number, command.data)),
                 success ? QStringLiteral("sent") : QStringLiteral("failed")));
    if (success) {
        ShowStatus(QString::fromLatin1(command.success), kGreen);
    } else {
        ShowStatus(QString::fromLatin1(command.failure), kRed);
        ConnectionLost();
    }
    SetBusyCursor(false);
    button->setEnabled(true);
}

void TFormMain::SetIoButtonsVisible(bool visible) {
    for (TSpeedButton* button : FIoButtons)
        if (button)
            button->setVisible(visible);
}

void TFormMain::ReleaseAllIoButtons() {
    for (TSpeedButton* button : FIoButtons)
        if (button)
            button->SetDown(false);
    FKeyState = 0;
    FKeysOnScreen.reset();
    repaint();
}

void TFormMain::SetBusyCursor(bool busy) {
    if (busy) {
        if (!QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}
