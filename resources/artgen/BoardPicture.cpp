#include "BoardPicture.h"

#include "BoardSteps.h"
#include "PcbPainter.h"

namespace qbv::artgen {

QImage boardPicture() {
    QImage picture(kBoardPictureWidth, kBoardPictureHeight, QImage::Format_RGB32);
    QPainter painter(&picture);
    paintBoardBody(painter);
    paintCopper(painter);
    paintGlassWeave(painter);
    paintMarks(painter);
    paintChips(painter);
    paintHeaders(painter);
    paintUserParts(painter);
    painter.end();
    paintPhotoFinish(picture);
    return picture;
}

QImage boardPreview(const QImage& board) {
    QImage preview = board.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&preview);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::cyan, 1));
    for (const layout::Component& component : layout::kComponents) {
        if (component.visible && component.kind != layout::Kind::Timer && component.id != layout::ImageBoard)
            painter.drawRect(toQRect(component.rect).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::red, 1));
    for (const layout::Rect& button : layout::placedLedButtons()) {
        painter.drawRect(toQRect(button).adjusted(0, 0, -1, -1));
        painter.drawRect(QRect(button.left + 7, button.top + 30, 16, 24).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::magenta, 1));
    for (const layout::PinButton& pin : layout::placedGpioButtons()) {
        painter.drawRect(toQRect(pin.rect).adjusted(0, 0, -1, -1));
        painter.drawEllipse(QRect(pin.rect.left + 3, pin.rect.top + 3, 15, 15).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::yellow, 1));
    for (const layout::ComponentId key : layout::szPainBox)
        painter.drawRect(componentRect(key).topLeft().x(), componentRect(key).top(), 31, 31);
    return preview;
}

} // namespace qbv::artgen
