#include "widgets/TSpeedButton.h"

#include "widgets/FocusRing.h"

#include <QPainter>
#include <utility>

TSpeedButton::TSpeedButton(QWidget* parent) : ReportsMouseMoves(parent) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void TSpeedButton::setGlyph(const QImage& strip, int frameCount) {
    setGlyph([strip] { return strip; }, frameCount);
}

void TSpeedButton::setGlyph(std::function<QImage()> draw, int frameCount) {
    draw_ = std::move(draw);
    frameCount_ = qBound(1, frameCount, 4);
    update();
}

QImage TSpeedButton::glyph() const {
    return draw_ ? draw_() : QImage();
}

void TSpeedButton::setGroupIndex(int groupIndex) {
    groupIndex_ = groupIndex;
    updateLatching();
}

void TSpeedButton::setAllowAllUp(bool allowAllUp) {
    allowAllUp_ = allowAllUp;
    updateLatching();
}

void TSpeedButton::updateLatching() {
    // Alone in its group with all up allowed, a button toggles on every click; group 0 springs back.
    setCheckable(groupIndex_ != 0 && allowAllUp_);
}

int TSpeedButton::currentFrame() const {
    int frame = FrameUp;
    if (!isEnabled())
        frame = FrameDisabled;
    else if (isChecked())
        frame = FrameDown;
    else if (isDown())
        frame = FramePressed;
    return frame < frameCount_ ? frame : FrameUp;
}

void TSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (const QImage strip = glyph(); !strip.isNull()) {
        const int frameWidth = strip.width() / frameCount_;
        painter.drawImage(QPoint(0, 0), strip,
                          QRect(currentFrame() * frameWidth, 0, frameWidth, strip.height()));
    }
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    drawFocusRing(painter, *this);
}
