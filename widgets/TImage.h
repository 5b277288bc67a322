#pragma once

#include "widgets/ReportsMouseMoves.h"

#include <QImage>

// A picture: draws its bitmap unscaled at its top-left corner. AutoSize makes it exactly as large as the
// bitmap; Transparent leaves out every pixel of the bitmap's transparent colour, the colour of its
// bottom-left pixel.
class TImage : public ReportsMouseMoves<QWidget, TImage> {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent);

    void setBitmap(const QImage& bitmap);
    const QImage& bitmap() const { return bitmap_; }
    // The bitmap with its transparent colour made fully transparent, ready to be drawn anywhere.
    const QImage& transparentBitmap() const;

    void setAutoSize(bool autoSize);
    bool autoSize() const { return autoSize_; }
    void setTransparent(bool transparent);
    bool transparent() const { return transparent_; }

signals:
    void mouseMoved(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToBitmap();

    QImage bitmap_;
    mutable QImage transparentBitmap_;
    bool autoSize_ = false;
    bool transparent_ = false;
};

// The bitmap with every pixel of its bottom-left pixel's colour made transparent.
QImage withTransparentColour(const QImage& bitmap);
