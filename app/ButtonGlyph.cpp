// Each speed button shows the board picture under it with an aqua outline and, where it has one, its
// caption in aqua; a latching I/O button's down frame adds the lit-LED or active-pin picture. A button
// draws its strip when it paints and picks the frame of its state.

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

// What a button's glyph shows: the board under it, the overlay on its down frame, its caption, its outline.
struct GlyphParts {
    const QImage& board;
    QRect underButton;
    int frameCount;
    QString caption;
    QFont font;
    bool rounded;
    const TImage* overlay;
    bool pin;
};

QImage drawStrip(const GlyphParts& parts) {
    const int w = parts.underButton.width();
    const int h = parts.underButton.height();
    QImage strip(parts.frameCount * w, h, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (int i = 0; i < parts.frameCount; ++i) {
        const QRect frame(i * w, 0, w, h);
        painter.drawImage(frame.topLeft(), parts.board, parts.underButton);
        if (i == TSpeedButton::FrameDown && parts.overlay) {
            const QImage& picture = parts.overlay->transparentBitmap();
            const int x = frame.left() + (w - picture.width()) / 2 + (parts.pin ? 0 : 1);
            const int y = parts.pin ? h - picture.height() - 3 : h - picture.height() - 10;
            painter.drawImage(x, y, picture);
        }
        if (!parts.caption.isEmpty())
            drawCaption(painter, frame, parts.caption, parts.font);
        drawOutline(painter, frame, parts.rounded);
    }
    painter.end();
    return strip;
}

} // namespace

void TFormMain::BuildButtonGlyph(TSpeedButton* button, int frameCount, bool rounded, const TImage* overlay) {
    const GlyphParts parts{ImageBoard->bitmap(),
                           button->geometry(),
                           frameCount,
                           button->text(),
                           button->font(),
                           rounded,
                           overlay,
                           overlay == ImagePioOn};
    button->setGlyph([parts] { return drawStrip(parts); }, frameCount);
    // The glyph shows the caption from now on; screen readers still read it as the button's name.
    if (!parts.caption.isEmpty())
        button->setAccessibleName(parts.caption);
    button->setText(QString());
}
