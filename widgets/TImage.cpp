#include "widgets/TImage.h"

#include <QPainter>

QImage withTransparentColour(const QImage& bitmap) {
    if (bitmap.isNull())
        return bitmap;
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1) | 0xFF000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TImage::TImage(QWidget* parent) : ReportsMouseMoves(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TImage::setBitmap(const QImage& bitmap) {
    bitmap_ = bitmap;
    transparentBitmap_ = QImage();
    fitToBitmap();
    update();
}

const QImage& TImage::transparentBitmap() const {
    // Made when first asked for: the board's picture, as large as the window, never is.
    if (transparentBitmap_.isNull())
        transparentBitmap_ = withTransparentColour(bitmap_);
    return transparentBitmap_;
}

void TImage::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    fitToBitmap();
}

void TImage::setTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void TImage::fitToBitmap() {
    if (autoSize_ && !bitmap_.isNull())
        resize(bitmap_.size());
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, transparent_ ? transparentBitmap() : bitmap_);
}
