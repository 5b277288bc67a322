#pragma once

#include <QList>
#include <QObject>

class QWidget;

// The window's controls without a mouse: Tab goes through them in reading order (top to bottom, then left
// to right), the arrow keys move within a group to the nearest control in that direction, Space works a
// button. For screen readers a control is described by its tooltip, and named by it unless named before.
class KeyboardReach : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Controls the arrows move among; each is reached by Tab as well.
    void addGroup(const QList<QWidget*>& controls);
    // Puts every control of every group in the Tab order, in reading order.
    void orderTabs();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* nextInGroup(QWidget* from, int key) const;

    QList<QList<QWidget*>> groups_;
};
