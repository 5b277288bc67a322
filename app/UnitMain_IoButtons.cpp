// The 96 LED and GPIO buttons over the board picture: their creation, their clicks, showing, hiding and
// releasing them.

#include "app/UnitMain.h"

#include "common/Texts.h"
#include "resources/LayoutQt.h"
#include "widgets/InputHold.h"
#include "widgets/KeyboardReach.h"
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
        // The board's printed name and its bit in qbv's LED mask.
        button->setToolTip(QStringLiteral("%1 (qbv led bit %2)")
                               .arg(QString::fromStdString(qbv::ledLabel(qbv::ledAt(led))))
                               .arg(qbv::ledMaskBit(qbv::ledAt(led))));
        button->setObjectName(QStringLiteral("SpeedButtonLed%1").arg(led));
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
        button->setObjectName(QStringLiteral("SpeedButtonPio%1").arg(pin.pin));
        FIoButtons[kFirstGpioSlot + pin.pin] = button;
    }
}

void TFormMain::MakeReachableByKeyboard() {
    auto* reach = new KeyboardReach(this);
    reach->addGroup(
        {SpeedButtonConnect, SpeedButtonDownload, SpeedButtonMarovan, SpeedButtonAltera, SpeedButtonExit});
    reach->addGroup(QList<QWidget*>(FIoButtons.begin(), FIoButtons.begin() + kFirstGpioSlot));
    reach->addGroup(QList<QWidget*>(FIoButtons.begin() + kFirstGpioSlot, FIoButtons.end()));
    reach->addGroup(QList<QWidget*>(szPainBox.begin(), szPainBox.end()));
    reach->addLinks({SpeedButtonMarovan, SpeedButtonAltera});
    reach->orderTabs();
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
    FKeysOnScreen.reset();
    SetKeysPressed();
    repaint();
}

void TFormMain::UpdateCursor() {
    // The hourglass while work runs or a web link opens; the normal arrow while a box waits for the user.
    SetBusyCursor(FBoxesUp == 0 && (FInputHold->held() || qbv::session::hourglassIn(FSession.state())));
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
