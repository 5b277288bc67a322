#pragma once

#include <QObject>

class QWidget;

// Holds back a window's mouse and key input while it is set, without greying its controls as disabling the
// window would: while the window opens a web link, and for good once it is closing.
class InputHold : public QObject {
public:
    explicit InputHold(QWidget& window);
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    void setHeld(bool held) { held_ = held; }
    bool held() const { return held_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    bool held_ = false;
};
