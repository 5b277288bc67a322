#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// The window's controls without a mouse: Tab goes through them in reading order (top to bottom, then left
// to right), the arrow keys move within a group to the nearest control in that direction, Space works a
// button. A control that hides with the focus hands it to the next control in reading order that is shown,
// enabled and no link, and takes it back when it shows again with the focus still there. For screen
// readers a control is described by its tooltip, and named by it unless named before.
class KeyboardReach : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Controls the arrows move among; each is reached by Tab as well.
    void addGroup(const QList<QWidget*>& controls);
    // Puts every control of every group in the Tab order, in reading order.
    void orderTabs();
    // Controls of the groups that open something outside the window, such as a web page: no hiding
    // control hands them the focus, where Space would open it unasked.
    void addLinks(const QList<QWidget*>& links) { links_ += links; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* nextInGroup(QWidget* from, int key) const;
    QWidget* nextInReadingOrder(QWidget* from) const;
    bool reaches(QWidget* control) const;
    void passFocusOn(QWidget* hidden);
    void takeFocusBack(QWidget* shown);
    void forgetFocusPassed();
    void followFocus(QWidget* control, QEvent::Type type);

    QList<QList<QWidget*>> groups_;
    QList<QWidget*> links_;
    // The control whose hiding passed the focus on, and the control holding it for it since.
    QPointer<QWidget> focusOwner_;
    QPointer<QWidget> focusStandIn_;
};
