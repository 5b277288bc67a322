#pragma once

#include "BoardArtwork.h"

#include <QWidget>

class BoardService;

// The board as its owner sees it: the picture with the LEDs lit and the pins marked as the board drives
// them, and the four keys, held down with the mouse for as long as the button is.
class BoardView : public QWidget {
    Q_OBJECT

public:
    BoardView(BoardService& service, QWidget* parent = nullptr);

    // Key k (0 = BUTTON1, the rightmost) under a point of the picture, or -1.
    static int keyAt(const QPoint& point);

    // Draws the picture at that fraction of its size (1 = full), where the screen has no room for all of it.
    void setScale(double scale);
    int pictureWidth() const { return artwork_.board.width(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    BoardService& service_;
    BoardArtwork artwork_;
    int heldKey_ = -1;
    double scale_ = 1;
};
