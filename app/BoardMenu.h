#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class EventLog;
class LogWindow;
class QAction;
class TFormMain;
namespace qbv::session {
class Session;
}

// What the window offers beyond the board maker's: a context menu on the board picture and its shortcuts,
// the log, About and the status copied. Every item goes through the session's gate, as the click it stands
// for does; the menu shows enabled what the gate would take.
class BoardMenu : public QObject {
    Q_OBJECT
public:
    BoardMenu(TFormMain& window, const qbv::session::Session& session);

    void log(const QString& line);
    void show(const QPoint& where);

private:
    QAction* addAction(const QString& text, const QKeySequence& shortcut,
                       const std::function<void()>& handler);
    std::function<void()> looking(void (BoardMenu::*look)());
    void update();
    void showLog();
    void showAbout();
    void copyStatus();

    TFormMain& window_;
    const qbv::session::Session& session_;
    EventLog* log_;
    LogWindow* logWindow_ = nullptr;
    QAction* connect_;
    QAction* download_;
    QAction* allLedsOff_;
    QAction* copyStatus_;
    QAction* showLog_;
    QAction* about_;
    QAction* exit_;
};
