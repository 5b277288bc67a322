#include "widgets/InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

InputHold::InputHold(QWidget& window) : QObject(&window), window_(window) {
    // Every widget of the window, its controls and the boxes over it, passes the application's filter.
    qApp->installEventFilter(this);
}

InputHold::~InputHold() {
    qApp->removeEventFilter(this);
}

bool InputHold::eventFilter(QObject* watched, QEvent* event) {
    if (!held_ || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
