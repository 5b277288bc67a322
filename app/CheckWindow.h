#pragma once

#include "doctor/Doctor.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The check of the connection in a window of its own: the report as qbv doctor prints it, a line as each
// check ends, to copy into a question; Check again once the panel would take it.
class CheckWindow : public QWidget {
    Q_OBJECT
public:
    explicit CheckWindow(QWidget* owner);

    void begin();
    void add(const qbv::doctor::CheckLine& line);
    void end(qbv::doctor::Ending ending);
    void allowCheck(bool allowed);

    QString report() const;

signals:
    void checkAgain();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void widen(const QString& lines);

    QPlainTextEdit* text_;
    QPushButton* again_;
    bool running_ = false;
    bool allowed_ = false;
};
