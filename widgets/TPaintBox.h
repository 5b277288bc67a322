#pragma once

#include <QAccessible>
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

    // What its owner draws on it, for screen readers: a control of this role (a plain area unless told),
    // shown pressed or not. A change of the pressed state is announced.
    void setAccessibleRole(QAccessible::Role role) { accessibleRole_ = role; }
    QAccessible::Role accessibleRole() const { return accessibleRole_; }
    void setPressed(bool pressed);
    bool pressed() const { return pressed_; }

signals:
    void paint(QObject* sender);
    void clicked(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPainter* canvas_ = nullptr;
    QAccessible::Role accessibleRole_ = QAccessible::Client;
    bool pressed_ = false;
};
