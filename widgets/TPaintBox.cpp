#include "widgets/TPaintBox.h"

#include "widgets/FocusRing.h"

#include <QMouseEvent>
#include <QPainter>

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_ = &painter;
    emit paint(this);
    canvas_ = nullptr;
    drawFocusRing(painter, *this);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(this);
    QWidget::mouseReleaseEvent(event);
}
