#include "IndexedPicture.h"

namespace qbv::artgen {

QImage newIndexedPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_Indexed8);
    picture.setColorTable(palette16());
    picture.fill(kBlackIndex);
    return picture;
}

void fillWhere(QImage& picture, PaletteIndex colour, const std::function<bool(int x, int y)>& inside) {
    for (int y = 0; y < picture.height(); ++y) {
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            if (inside(x, y))
                line[x] = colour;
        }
    }
}

} // namespace qbv::artgen
