#pragma once

#include <QWidget>

class QPainter;

// A rectangle with a canvas and a paint event; it draws nothing by itself. The canvas exists while the
// box paints, so a paint handler draws on the box (or boxes) whose canvas is there.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent);

    // The box's canvas while its paint event runs; nullptr otherwise.
    QPainter* Canvas() const { return canvas_; }

signals:
    void paint(QObject* sender);
    void clicked(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPainter* canvas_ = nullptr;
};
