#pragma once

#include <QPainter>
#include <QWidget>

// Set on a control while it has the focus that the keyboard moved to it; a focus that came with the
// window's activation or a click shows no ring.
constexpr const char* kKeyboardFocus = "keyboardFocus";

// The ring a control reached by the keyboard shows: black under white dashes, so that it stands out on the
// picture's dark board and its bright parts alike.
inline void drawFocusRing(QPainter& painter, const QWidget& control) {
    if (!control.hasFocus() || !control.property(kKeyboardFocus).toBool())
        return;
    const QRect ring = control.rect().adjusted(1, 1, -2, -2);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(ring);
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(ring);
}
