#pragma once

#include <QImage>
#include <QPixmap>

// The pictures the board window draws: the board and its three overlays, from the artwork resources
// where they are linked in, otherwise plain stand-ins of the same sizes.
struct BoardArtwork {
    QPixmap board;   // 775 x 514
    QPixmap ledOn;   // lit LED
    QPixmap pinOn;   // active pin
    QPixmap pressed; // pressed key
    bool fromResources = false;

    static BoardArtwork load();
};

// The picture with every pixel of its bottom-left pixel's colour left out.
QPixmap withBottomLeftTransparent(const QImage& image);
