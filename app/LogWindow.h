#pragma once

#include <QWidget>

class EventLog;
class QPlainTextEdit;

// The log as a window of its own: every kept line, new ones as they come, and a way to save them.
class LogWindow : public QWidget {
    Q_OBJECT
public:
    LogWindow(const EventLog& log, QWidget* owner);

    // Asks for a file and saves the log there, saying in the window whether it worked.
    void saveAs();
    bool saveTo(const QString& path);

    QPlainTextEdit* text() const { return text_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const EventLog& log_;
    QPlainTextEdit* text_;
};
