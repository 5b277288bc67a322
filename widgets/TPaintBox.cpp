#include "widgets/TPaintBox.h"

#include "widgets/AccessibleFace.h"
#include "widgets/FocusRing.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

// A screen reader reads the box as what its owner draws on it.
class AccessiblePaintBox : public QAccessibleWidget {
public:
    explicit AccessiblePaintBox(TPaintBox* box) : QAccessibleWidget(box) {}

    QAccessible::Role role() const override { return box()->accessibleRole(); }
    QAccessible::State state() const override {
        QAccessible::State shown = QAccessibleWidget::state();
        shown.pressed = box()->pressed();
        return shown;
    }

private:
    const TPaintBox* box() const { return static_cast<const TPaintBox*>(widget()); }
};

} // namespace

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    readAs<TPaintBox, AccessiblePaintBox>();
    setFocusPolicy(Qt::NoFocus);
}

void TPaintBox::setPressed(bool pressed) {
    if (pressed == pressed_)
        return;
    pressed_ = pressed;
    QAccessible::State changed;
    changed.pressed = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
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
