// The four keys: their backgrounds, and their drawing from the key state as the session last read it, which
// screen readers read too.

#include "app/UnitMain.h"

#include "board/BoardProtocol.h"
#include "resources/BoardLayout.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"

#include <QPainter>
#include <QRegion>

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

// The boxes take the key state as the session last read it, to be drawn when next painted.
void TFormMain::SetKeysPressed() {
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key)
        szPainBox[key]->setPressed(qbv::board::keyPressed(FSession.keys(), key));
}

void TFormMain::PaintBoxButtonPaint(QObject*) {
    if (FSession.closing())
        return;
    // Every box that is being painted now gets its key drawn; a box's canvas exists only while it paints.
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key) {
        QPainter* canvas = szPainBox[key]->Canvas();
        if (!canvas)
            continue;
        if (szPainBox[key]->pressed())
            canvas->drawImage(0, 0, ImagePressed->transparentBitmap());
        else if (FKeyBackgrounds[key])
            canvas->drawImage(0, 0, *FKeyBackgrounds[key]);
    }
}

void TFormMain::keysRead(uint8_t keys) {
    if (FSession.closing())
        return;
    // Fifty polls a second mostly read what the boxes already show: drawing it again would only cost.
    // Whatever covers the boxes meanwhile is the window system's to restore from the window's own copy.
    if (FKeysOnScreen == keys)
        return;
    FKeysOnScreen = keys;
    SetKeysPressed();
    // All four boxes at once, now, in one pass.
    QRegion region;
    for (TPaintBox* box : szPainBox)
        region += box->geometry();
    repaint(region);
}
