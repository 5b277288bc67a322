// The four keys: their backgrounds, their drawing from the key state, and key polling, each poll 20 ms
// after the end of the previous one.

#include "app/UnitMain.h"

#include "board/BoardProtocol.h"
#include "resources/BoardLayout.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TTimer.h"

#include <QPainter>
#include <QRegion>

namespace {
constexpr int kPollIntervalMs = 20;
}

void TFormMain::CaptureKeyBackgrounds() {
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key) {
        const QRect underBox = szPainBox[key]->geometry();
        FKeyBackgrounds[key] = std::make_unique<QImage>(
            ImageBoard->bitmap().copy(underBox).convertToFormat(QImage::Format_RGB32));
    }
}

void TFormMain::FreeKeyBackgrounds() {
    for (std::unique_ptr<QImage>& background : FKeyBackgrounds)
        background.reset();
}

void TFormMain::PaintBoxButtonPaint(QObject*) {
    if (FClosing && FShown)
        return;
    // Every box that is being painted now gets its key drawn; a box's canvas exists only while it paints.
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key) {
        QPainter* canvas = szPainBox[key]->Canvas();
        if (!canvas)
            continue;
        if (qbv::board::keyPressed(FKeyState, key))
            canvas->drawImage(0, 0, ImagePressed->transparentBitmap());
        else if (FKeyBackgrounds[key])
            canvas->drawImage(0, 0, *FKeyBackgrounds[key]);
    }
}

void TFormMain::SetKeyState(uint8_t state) {
    if (state != FKeyState)
        Log(QStringLiteral("Keys 0x%1: %2")
                .arg(state, 2, 16, QLatin1Char('0'))
                .arg(QString::fromStdString(qbv::board::pressedKeysText(state))));
    FKeyState = state;
    if (FClosing && FShown)
        return;
    // Fifty polls a second mostly read what the boxes already show: drawing it again would only cost.
    // Whatever covers the boxes meanwhile is the window system's to restore from the window's own copy.
    if (FKeysOnScreen == state)
        return;
    FKeysOnScreen = state;
    // All four boxes at once, now, in one pass.
    QRegion keys;
    for (TPaintBox* box : szPainBox)
        keys += box->geometry();
    repaint(keys);
}

void TFormMain::TimerButtonPollingTimer(QObject*) {
    TimerButtonPolling->SetEnabled(false);
    TimerButtonPolling->SetInterval(kPollIntervalMs);
    if (FCommandInFlight) {
        TimerButtonPolling->SetEnabled(true);
        return;
    }
    PollKeys();
}

void TFormMain::PollKeys() {
    FPolling = true;
    if (FConnected && !FClosing && FJtagPort) {
        uint8_t reply = 0;
        if (SendCommand(qbv::board::kReadKeys, &reply)) {
            SetKeyState(reply);
            if (!FClosing) {
                TimerButtonPolling->SetEnabled(false);
                TimerButtonPolling->SetEnabled(true);
            }
        } else {
            Log(QStringLiteral("Command 06 (read keys): no reply"));
            ConnectionLost();
        }
    }
    FPolling = false;
}
