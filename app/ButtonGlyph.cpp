// Each speed button shows the board picture under it with an aqua outline and, where it has one, its
// caption in aqua; a latching I/O button's down frame adds the lit-LED or active-pin picture. Glyphs
// are rendered once, so a state change only picks another frame of a prepared strip.

#include "app/UnitMain.h"

#include "widgets/TImage.h"
#include "widgets/TSpeedButton.h"

#include <QPainter>

namespace {

const QColor kAquaColour(0x00, 0xFF, 0xFF);
// The outline covers the frame's outer four pixels on every side; a caption keeps a pixel clear of it.
constexpr int kCaptionInset = 5;

// The rectangle's edge pixels, as pixel centres, so a wide pen straddles them as a GDI pen does.
QRectF edgeCentres(const QRect& r) {
    return QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, r.height() - 1);
}

// The layout's font where the caption fits inside the outline in it, else the largest smaller size that
// fits. Fonts of one set of metrics still measure differently from system to system, and a stand-in face
// measures as it likes: Wine clipped "Download .POF" at both ends.
QFont fittingFont(const QFont& font, const QString& caption, int width) {
    QFont fitted = font;
    while (QFontMetrics(fitted).horizontalAdvance(caption) > width && fitted.pixelSize() > 1)
        fitted.setPixelSize(fitted.pixelSize() - 1);
    return fitted;
}

void drawCaption(QPainter& painter, const QRect& frame, const QString& caption, const QFont& layoutFont) {
    const QFont font = fittingFont(layoutFont, caption, frame.width() - 2 * kCaptionInset);
    painter.setFont(font);
    painter.setPen(kAquaColour);
    const QFontMetrics metrics(font);
    const int x = frame.left() + (frame.width() - metrics.horizontalAdvance(caption)) / 2;
    const int y = (frame.height() - metrics.height()) / 2;
    painter.drawText(x, y + metrics.ascent(), caption);
}

void drawOutline(QPainter& painter, const QRect& frame, bool rounded) {
    painter.setPen(QPen(kAquaColour, 3));
    painter.setBrush(Qt::NoBrush);
    const QRect inset = frame.adjusted(1, 1, -1, -1);
    if (rounded)
        painter.drawRoundedRect(edgeCentres(inset), 2.5, 2.5);
    else
        painter.drawEllipse(edgeCentres(inset.adjusted(2, 2, -2, -2)));
}

} // namespace

void TFormMain::BuildButtonGlyph(TSpeedButton* button, int frameCount, bool rounded, const TImage* overlay) {
    const int w = button->width();
    const int h = button->height();
    const QRect underButton = button->geometry();
    const QString caption = button->text();
    QImage strip(frameCount * w, h, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (int i = 0; i < frameCount; ++i) {
        const QRect frame(i * w, 0, w, h);
        painter.drawImage(frame.topLeft(), ImageBoard->bitmap(), underButton);
        if (i == TSpeedButton::FrameDown && overlay) {
            const QImage& picture = overlay->transparentBitmap();
            const int pw = picture.width();
            const int ph = picture.height();
            const bool pin = overlay == ImagePioOn;
            const int x = frame.left() + (w - pw) / 2 + (pin ? 0 : 1);
            const int y = pin ? h - ph - 3 : h - ph - 10;
            painter.drawImage(x, y, picture);
        }
        if (!caption.isEmpty())
            drawCaption(painter, frame, caption, button->font());
        drawOutline(painter, frame, rounded);
    }
    painter.end();
    button->setGlyph(strip, frameCount);
    // The glyph shows the caption from now on; screen readers still read it as the button's name.
    if (!caption.isEmpty())
        button->setAccessibleName(caption);
    button->setText(QString());
}
