#pragma once

#include "session/SessionView.h"

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class CheckWindow;
class EventLog;
class LogWindow;
class QAction;
namespace qbv::session {
class Session;
}

// What the menu needs of the window it belongs to: the window itself (its shortcuts, the windows the menu
// opens), the picture a right click opens it on, the status line's message, and an information box over
// the window.
struct MenuHost {
    QWidget& window;
    QWidget& picture;
    std::function<QString()> status;
    std::function<void(const QString&)> inform;
};

// What the window offers beyond the board maker's: a context menu on the board picture and its shortcuts,
// the log, About, the status copied and the check of the connection. Every item is an action the session's
// gate judges, as the click it stands for is; the menu shows enabled what the gate would take. It hears the
// session itself: its states, its log and a check's lines.
class BoardMenu : public QObject, private qbv::session::SessionListener {
    Q_OBJECT
public:
    BoardMenu(MenuHost host, qbv::session::Session& session);

    void log(const QString& line);
    // Opens the menu and returns; dismiss() closes it when it is up.
    void show(const QPoint& where);
    void dismiss();

private:
    void entered(qbv::session::State state) override;
    void logged(const std::string& line) override { log(QString::fromStdString(line)); }
    void checked(const qbv::doctor::CheckLine& line) override;
    void checkEnded(qbv::doctor::Ending ending) override;

    QAction* addAction(const QString& text, const QKeySequence& shortcut,
                       const std::function<void()>& handler);
    std::function<void()> looking(void (BoardMenu::*look)());
    void update();
    void showLog();
    void showAbout();
    void copyStatus();
    void checkConnection();

    MenuHost host_;
    QWidget& window_;
    qbv::session::Session& session_;
    EventLog* log_;
    LogWindow* logWindow_ = nullptr;
    CheckWindow* checkWindow_ = nullptr;
    QPointer<QMenu> menu_;
    QAction* connect_;
    QAction* download_;
    QAction* allLedsOff_;
    QAction* check_;
    QAction* copyStatus_;
    QAction* showLog_;
    QAction* about_;
    QAction* exit_;
};
