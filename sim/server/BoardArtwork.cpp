#include "BoardArtwork.h"

#include "resources/Artwork.h"
#include "resources/LayoutQt.h"

#include <QPainter>
#include <QPolygon>

using qbv::layout::toQRect;

namespace {

using namespace qbv::artwork;

constexpr QRgb kBoardGreen = 0xFF1F5A32;
constexpr QRgb kOutline = 0xFFB0C4B0;

QImage standInBoard() {
    QImage image(775, 514, QImage::Format_RGB32);
    image.fill(kBoardGreen);
    QPainter painter(&image);
    painter.setPen(QColor(kOutline));
    for (const qbv::layout::Rect& led : qbv::layout::placedLedButtons())
        painter.drawRect(QRect(toQRect(led).topLeft() + QPoint(7, 30), QSize(16, 24)));
    for (const qbv::layout::PinButton& pin : qbv::layout::placedGpioButtons())
        painter.drawEllipse(QRect(toQRect(pin.rect).topLeft() + QPoint(3, 3), QSize(15, 15)));
    for (qbv::layout::ComponentId key : qbv::layout::szPainBox)
        painter.drawEllipse(toQRect(qbv::layout::component(key).rect).adjusted(4, 4, -4, -4));
    painter.drawRect(
        toQRect(qbv::layout::component(qbv::layout::SpeedButtonDownload).rect).adjusted(20, 20, -20, -20));
    painter.drawText(QRect(0, 480, 775, 30), Qt::AlignCenter, QStringLiteral("QB-vela (virtual)"));
    return image;
}

QImage standInOverlay(QSize size, void (*draw)(QPainter&, QSize)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(Qt::yellow));
    draw(painter, size);
    painter.end();
    image.setPixel(0, size.height() - 1, qRgb(0, 0, 0)); // the transparent colour
    return image;
}

void drawLed(QPainter& painter, QSize size) {
    painter.drawRect(1, 1, size.width() - 2, size.height() - 2);
}
void drawPin(QPainter& painter, QSize size) {
    painter.drawEllipse(0, 0, size.width(), size.height());
}
void drawArrow(QPainter& painter, QSize) {
    painter.drawRect(10, 0, 12, 19);
    painter.drawPolygon(QPolygon({QPoint(0, 19), QPoint(32, 19), QPoint(16, 31)}));
}

QPixmap loadOr(const char* resource, const QImage& standIn, bool& found) {
    QImage image(QString::fromLatin1(resource));
    found = found && !image.isNull();
    return withBottomLeftTransparent(image.isNull() ? standIn : image);
}

} // namespace

QPixmap withBottomLeftTransparent(const QImage& image) {
    if (image.isNull())
        return QPixmap();
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = argb.pixel(0, argb.height() - 1);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (line[x] == transparent)
                line[x] = 0;
    }
    return QPixmap::fromImage(argb);
}

BoardArtwork BoardArtwork::load() {
    BoardArtwork artwork;
    bool found = true;
    QImage board(QString::fromLatin1(kBoard));
    found = !board.isNull();
    artwork.board = QPixmap::fromImage(board.isNull() ? standInBoard() : board);
    artwork.ledOn = loadOr(kLedOn, standInOverlay(QSize(16, 24), drawLed), found);
    artwork.pinOn = loadOr(kPioOn, standInOverlay(QSize(15, 15), drawPin), found);
    artwork.pressed = loadOr(kPressed, standInOverlay(QSize(32, 32), drawArrow), found);
    artwork.fromResources = found;
    return artwork;
}
