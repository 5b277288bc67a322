#include "app/BoardMenu.h"

#include "app/CheckWindow.h"
#include "app/EventLog.h"
#include "app/LogWindow.h"
#include "platform/Files.h"
#include "programming/ProgrammingJob.h"
#include "programming/QuartusLocation.h"
#include "session/Session.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>

using qbv::session::Action;

namespace {

// A path as a user reads it: "/usr/lib/...", not "/usr/bin/../lib/...".
QString shownPath(const std::string& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QString::fromStdString(path)));
}

// The programmer Download would run, or where it was looked for in vain.
QString programmerWords(const qbv::programming::ToolChain& toolChain) {
    const std::string programmer = qbv::programming::programmerPath(toolChain.path);
    if (qbv::platform::fileExists(programmer))
        return shownPath(programmer);
    return QStringLiteral("none (looked for as %1)")
        .arg(QString::fromStdString(qbv::programming::programmerPlaces(toolChain.path)));
}

} // namespace

BoardMenu::BoardMenu(MenuHost host, qbv::session::Session& session)
    : QObject(&host.window), host_(std::move(host)), window_(host_.window), session_(session),
      log_(new EventLog(this)) {
    session_.listen(*this);
    connect_ =
        addAction(QStringLiteral("Connect"), Qt::Key_F5, [this] { session_.request(Action::Connect); });
    download_ = addAction(QStringLiteral("Download .POF"), {}, [this] { session_.request(Action::Program); });
    // Beyond the board maker's window: every LED off in one command.
    allLedsOff_ =
        addAction(QStringLiteral("All LEDs off"), {}, [this] { session_.request(Action::SetLeds, 0x00); });
    check_ = addAction(QStringLiteral("Check the connection\u2026"), {}, [this] { checkConnection(); });
    copyStatus_ = addAction(QStringLiteral("Copy status"), {}, looking(&BoardMenu::copyStatus));
    showLog_ =
        addAction(QStringLiteral("Log"), QKeySequence(Qt::CTRL | Qt::Key_L), looking(&BoardMenu::showLog));
    about_ = addAction(QStringLiteral("About"), Qt::Key_F1, looking(&BoardMenu::showAbout));
    exit_ = addAction(QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                      [this] { session_.request(Action::Close); });
    host_.picture.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&host_.picture, &QWidget::customContextMenuRequested, this,
                     [this](const QPoint& where) { show(host_.picture.mapTo(&window_, where)); });
}

QAction* BoardMenu::addAction(const QString& text, const QKeySequence& shortcut,
                              const std::function<void()>& handler) {
    auto* action = new QAction(text, &window_);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, this, handler);
    window_.addAction(action); // the shortcut works without the menu open
    return action;
}

// Looking reaches no board, but the gate still has its say: a closing window shows nothing new.
std::function<void()> BoardMenu::looking(void (BoardMenu::*look)()) {
    return [this, look] {
        if (session_.accepts(Action::Look))
            (this->*look)();
    };
}

void BoardMenu::log(const QString& line) {
    log_->add(line);
}

void BoardMenu::update() {
    connect_->setEnabled(session_.accepts(Action::Connect));
    download_->setEnabled(session_.accepts(Action::Program));
    allLedsOff_->setEnabled(session_.accepts(Action::SetLeds));
    check_->setEnabled(session_.accepts(Action::Check));
    for (QAction* action : {copyStatus_, showLog_, about_})
        action->setEnabled(session_.accepts(Action::Look));
    exit_->setEnabled(session_.verdict(Action::Close) != qbv::session::Verdict::Drop);
}

void BoardMenu::show(const QPoint& where) {
    if (!session_.accepts(Action::Look))
        return;
    dismiss();
    update();
    menu_ = new QMenu(&window_);
    menu_->setAttribute(Qt::WA_DeleteOnClose);
    menu_->setObjectName(QStringLiteral("BoardMenu"));
    menu_->addActions({connect_, download_, allLedsOff_, check_});
    menu_->addSeparator();
    menu_->addActions({copyStatus_, showLog_, about_});
    menu_->addSeparator();
    menu_->addAction(exit_);
    // Shortcuts reach the gate again once the menu is gone, which judges them when they fire.
    QObject::connect(menu_, &QMenu::aboutToHide, this, [this] {
        for (QAction* action : window_.actions())
            action->setEnabled(true);
    });
    menu_->popup(window_.mapToGlobal(where));
}

void BoardMenu::dismiss() {
    if (menu_)
        menu_->close();
}

// The check runs a step a turn while the window fills; the gate takes it only where no other work runs.
void BoardMenu::checkConnection() {
    if (!session_.accepts(Action::Check))
        return;
    if (!checkWindow_) {
        checkWindow_ = new CheckWindow(&window_);
        QObject::connect(checkWindow_, &CheckWindow::checkAgain, this, &BoardMenu::checkConnection);
    }
    checkWindow_->begin();
    checkWindow_->show();
    checkWindow_->raise();
    checkWindow_->activateWindow();
    session_.request(Action::Check);
}

void BoardMenu::entered(qbv::session::State) {
    if (checkWindow_)
        checkWindow_->allowCheck(session_.accepts(Action::Check));
}

void BoardMenu::checked(const qbv::doctor::CheckLine& line) {
    if (checkWindow_)
        checkWindow_->add(line);
}

void BoardMenu::checkEnded(qbv::doctor::Ending ending) {
    if (checkWindow_)
        checkWindow_->end(ending);
}

void BoardMenu::copyStatus() {
    QGuiApplication::clipboard()->setText(host_.status());
}

void BoardMenu::showLog() {
    if (!logWindow_)
        logWindow_ = new LogWindow(*log_, &window_);
    logWindow_->show();
    logWindow_->raise();
}

void BoardMenu::showAbout() {
    // The library the next connection loads: the one in use, or the file as it lies beside the program.
    const qbv::session::LibraryFacts library = session_.library();
    // The tool chain Download would use, and what named it.
    const qbv::programming::ToolChain toolChain = qbv::programming::toolChainInUse(session_.folder());
    host_.inform(
        QStringLiteral(
            "QB-vela Control Panel %1\n\nJTAG access library: %2\n%3\n\nFPGA vendor's tool chain: %4")
            .arg(QStringLiteral(QBV_VERSION), shownPath(library.path),
                 library.edition.empty()
                     ? QStringLiteral("(not loaded: %1)").arg(QString::fromStdString(library.failure))
                     : QStringLiteral("Edition: %1").arg(QString::fromStdString(library.edition)),
                 toolChain.path.empty()
                     ? QStringLiteral("none was found (%1)").arg(QString::fromStdString(toolChain.lookedFor))
                     : QStringLiteral("%1 (from %2)\nIts programmer: %3")
                           .arg(shownPath(toolChain.path), QString::fromStdString(toolChain.namedBy),
                                programmerWords(toolChain))));
}
