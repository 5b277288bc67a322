#include "BoardPicture.h"

#include "BoardSteps.h"

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

} // namespace qbv::artgen
