#pragma once

#include <QWidget>

// What the component kinds share: every move of the mouse over one, a button held or not, is told by its
// signal mouseMoved(QObject* sender) before its Qt base handles the move. Control declares the signal, as
// moc reads no template.
template <typename QtBase, typename Control> class ReportsMouseMoves : public QtBase {
public:
    explicit ReportsMouseMoves(QWidget* parent) : QtBase(parent) { this->setMouseTracking(true); }

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        emit static_cast<Control*>(this)->mouseMoved(this);
        QtBase::mouseMoveEvent(event);
    }
};
