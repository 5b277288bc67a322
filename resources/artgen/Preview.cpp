#include "Preview.h"

#include "Overlays.h"
#include "PcbPainter.h"

namespace qbv::artgen {

using namespace qbv::layout;
using qbv::kLedCount;

namespace {

// An overlay drawn the window's way: its bottom-left pixel's colour is left out.
void drawTransparent(QPainter& painter, QPoint at, const QImage& overlay) {
    QImage masked = overlay.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = masked.pixel(0, masked.height() - 1);
    for (int y = 0; y < masked.height(); ++y) {
        for (int x = 0; x < masked.width(); ++x) {
            if (masked.pixel(x, y) == transparent)
                masked.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    painter.drawImage(at, masked);
}

void drawButtonFrame(QPainter& painter, const QRect& button, bool rounded) {
    painter.setPen(QPen(Qt::cyan, 3));
    painter.setBrush(Qt::NoBrush);
    const QRect inner = button.adjusted(1, 1, -1, -1);
    if (rounded)
        painter.drawRoundedRect(QRectF(inner).adjusted(0, 0, -1, -1), 2.5, 2.5);
    else
        painter.drawEllipse(QRectF(inner.adjusted(2, 2, -2, -2)).adjusted(0, 0, -1, -1));
}

void drawCaption(QPainter& painter, const Component& button) {
    if (button.caption[0] == '\0')
        return;
    QFont font("Liberation Serif");
    font.setBold(true);
    font.setPixelSize(button.font.pixelHeight);
    painter.setFont(font);
    painter.setPen(Qt::cyan);
    painter.drawText(toQRect(button.rect), Qt::AlignCenter, button.caption);
}

} // namespace

QImage outlinedPreview(const QImage& board) {
    QImage preview = board.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&preview);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::cyan, 1));
    for (const Component& component : kComponents) {
        if (component.visible && component.kind != Kind::Timer && component.id != ImageBoard)
            painter.drawRect(toQRect(component.rect).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::red, 1));
    for (const Rect& button : placedLedButtons()) {
        painter.drawRect(toQRect(button).adjusted(0, 0, -1, -1));
        painter.drawRect(QRect(button.left + 7, button.top + 30, 16, 24).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::magenta, 1));
    for (const PinButton& pin : placedGpioButtons()) {
        painter.drawRect(toQRect(pin.rect).adjusted(0, 0, -1, -1));
        painter.drawEllipse(QRect(pin.rect.left + 3, pin.rect.top + 3, 15, 15).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::yellow, 1));
    for (const ComponentId key : szPainBox)
        painter.drawRect(componentRect(key).left(), componentRect(key).top(), 31, 31);
    return preview;
}

QImage windowPreview(const QImage& board) {
    QImage preview = board.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&preview);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (const ComponentId id : kMainButtonGlyphOrder) {
        drawCaption(painter, component(id));
        drawButtonFrame(painter, componentRect(id), true);
    }
    const auto leds = placedLedButtons();
    for (int led = 0; led < kLedCount; ++led) {
        drawButtonFrame(painter, toQRect(leds[led]), true);
        if (led % 3 == 0)
            drawTransparent(painter, QPoint(leds[led].left + 7, leds[led].top + 30), ledOnPicture());
    }
    for (const PinButton& pin : placedGpioButtons()) {
        drawButtonFrame(painter, toQRect(pin.rect), false);
        if (pin.pin % 7 == 0)
            drawTransparent(painter, QPoint(pin.rect.left + 3, pin.rect.top + 3), pioOnPicture());
    }
    drawTransparent(painter, componentRect(szPainBox[1]).topLeft(), pressedPicture());
    return preview;
}

QImage pinMapPreview(const QImage& board) {
    QImage map = board.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&map);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFont font = silkFont(9, true, true);
    painter.setFont(font);
    for (const PinButton& pin : placedGpioButtons()) {
        const QRect cell = toQRect(pin.rect);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 170));
        painter.drawRoundedRect(cell, 3, 3);
        painter.setPen(QColor(0xFF, 0xE0, 0x40));
        painter.drawText(cell, Qt::AlignCenter, QString::number(pin.pin));
    }
    return map;
}

} // namespace qbv::artgen
