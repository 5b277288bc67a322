#include "widgets/KeyboardReach.h"

#include "widgets/FocusRing.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <limits>

void KeyboardReach::addGroup(const QList<QWidget*>& controls) {
    for (QWidget* control : controls) {
        control->setFocusPolicy(Qt::TabFocus);
        // Qt describes a control by its tooltip, which also names one not named otherwise.
        if (control->accessibleName().isEmpty())
            control->setAccessibleName(control->toolTip());
        control->installEventFilter(this);
    }
    groups_.append(controls);
}

void KeyboardReach::orderTabs() {
    QList<QWidget*> all;
    for (const QList<QWidget*>& group : groups_)
        all += group;
    std::stable_sort(all.begin(), all.end(), [](const QWidget* a, const QWidget* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    for (qsizetype i = 1; i < all.size(); ++i)
        QWidget::setTabOrder(all[i - 1], all[i]);
}

// The nearest visible control of the same group whose centre lies that way; a control straight ahead
// comes before one far off to the side.
QWidget* KeyboardReach::nextInGroup(QWidget* from, int key) const {
    const auto group = std::find_if(groups_.begin(), groups_.end(), [from](const QList<QWidget*>& controls) {
        return controls.contains(from);
    });
    if (group == groups_.end())
        return nullptr;
    const QPoint origin = from->geometry().center();
    QWidget* best = nullptr;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (QWidget* candidate : *group) {
        if (candidate == from || !candidate->isVisible())
            continue;
        const QPoint offset = candidate->geometry().center() - origin;
        const int ahead = key == Qt::Key_Right  ? offset.x()
                          : key == Qt::Key_Left ? -offset.x()
                          : key == Qt::Key_Down ? offset.y()
                                                : -offset.y();
        const int aside = key == Qt::Key_Left || key == Qt::Key_Right ? offset.y() : offset.x();
        if (ahead <= 0)
            continue;
        const long long distance = 1LL * ahead * ahead + 4LL * aside * aside;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

bool KeyboardReach::reaches(QWidget* control) const {
    return std::any_of(groups_.begin(), groups_.end(),
                       [control](const QList<QWidget*>& controls) { return controls.contains(control); });
}

QWidget* KeyboardReach::nextInReadingOrder(QWidget* from) const {
    for (QWidget* next = from->nextInFocusChain(); next != from; next = next->nextInFocusChain())
        if (next->isVisible() && next->isEnabled() && !links_.contains(next) && reaches(next))
            return next;
    return nullptr;
}

// Left alone, Qt hands a hidden control's focus to the next control in the chain, whatever that is. A
// control that stands in and hides in turn passes the focus on for the one it stands in for.
void KeyboardReach::passFocusOn(QWidget* hidden) {
    // Hidden by itself, not with its window, and holding its window's focus (active or not).
    if (!hidden->isHidden() || hidden->window()->focusWidget() != hidden)
        return;
    QWidget* next = nextInReadingOrder(hidden);
    if (!next)
        return;
    if (hidden != focusStandIn_)
        focusOwner_ = hidden;
    focusStandIn_ = next;
    next->setFocus(Qt::TabFocusReason);
}

void KeyboardReach::takeFocusBack(QWidget* shown) {
    if (shown != focusOwner_ || !focusStandIn_ || shown->window()->focusWidget() != focusStandIn_)
        return;
    forgetFocusPassed();
    shown->setFocus(Qt::TabFocusReason);
}

void KeyboardReach::forgetFocusPassed() {
    focusOwner_ = nullptr;
    focusStandIn_ = nullptr;
}

void KeyboardReach::followFocus(QWidget* control, QEvent::Type type) {
    if (type == QEvent::Hide)
        passFocusOn(control);
    else if (type == QEvent::Show)
        takeFocusBack(control);
    else if (type == QEvent::FocusIn && control != focusStandIn_)
        forgetFocusPassed(); // the focus moved by anything else stays where it went
}

bool KeyboardReach::eventFilter(QObject* watched, QEvent* event) {
    followFocus(static_cast<QWidget*>(watched), event->type());
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
            if (QWidget* next = nextInGroup(static_cast<QWidget*>(watched), key))
                next->setFocus(Qt::OtherFocusReason);
            return true;
        }
        // Enter switches a focused button as Space does.
        if (auto* button = qobject_cast<QAbstractButton*>(watched);
            button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    // The ring comes with a focus the keyboard moved, and goes with it.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byKeyboard = event->type() == QEvent::FocusIn &&
                                (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                 reason == Qt::OtherFocusReason);
        watched->setProperty(kKeyboardFocus, byKeyboard);
        static_cast<QWidget*>(watched)->update();
    }
    return QObject::eventFilter(watched, event);
}
