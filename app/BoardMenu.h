#pragma once

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

namespace qbv::doctor {
struct CheckLine;
enum class Ending;
} // namespace qbv::doctor

class CheckWindow;
class EventLog;
class LogWindow;
class QAction;
class TFormMain;
namespace qbv::session {
class Session;
}

// What the window offers beyond the board maker's: a context menu on the board picture and its shortcuts,
// the log, About, the status copied and the check of the connection. Every item goes through the session's
// gate, as the click it stands for does; the menu shows enabled what the gate would take.
class BoardMenu : public QObject {
    Q_OBJECT
public:
    BoardMenu(TFormMain& window, qbv::session::Session& session);

    void log(const QString& line);
    // Opens the menu and returns; dismiss() closes it when it is up.
    void show(const QPoint& where);
    void dismiss();
    // The session's news for the windows the menu opened.
    void stateChanged();
    void checked(const qbv::doctor::CheckLine& line);
    void checkEnded(qbv::doctor::Ending ending);

private:
    QAction* addAction(const QString& text, const QKeySequence& shortcut,
                       const std::function<void()>& handler);
    std::function<void()> looking(void (BoardMenu::*look)());
    void update();
    void showLog();
    void showAbout();
    void copyStatus();
    void checkConnection();

    TFormMain& window_;
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
