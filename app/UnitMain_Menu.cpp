// What the window offers beyond the board maker's: a context menu on the board picture and its
// shortcuts, the log, About, all LEDs off and the status copied. Every item goes through the session's
// gate, as the click it stands for does; the menu shows enabled what the gate would take.

#include "app/UnitMain.h"

#include "app/EventLog.h"
#include "app/LogWindow.h"
#include "board/Jtagport.h"
#include "common/Board.h"
#include "platform/VendorToolchain.h"
#include "widgets/TImage.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace {

QAction* newAction(QWidget* window, const QString& text, const QKeySequence& shortcut,
                   const std::function<void()>& handler) {
    auto* action = new QAction(text, window);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, handler);
    window->addAction(action); // the shortcut works without the menu open
    return action;
}

} // namespace

void TFormMain::CreateMenuAndShortcuts() {
    FLog = new EventLog(this);
    FActions.connect = newAction(this, QStringLiteral("Connect"), Qt::Key_F5,
                                 [this] { SpeedButtonConnectClick(SpeedButtonConnect); });
    FActions.download = newAction(this, QStringLiteral("Download .POF"), {},
                                  [this] { SpeedButtonDownloadClick(SpeedButtonDownload); });
    FActions.allLedsOff = newAction(this, QStringLiteral("All LEDs off"), {}, [this] { AllLedsOff(); });
    FActions.copyStatus = newAction(this, QStringLiteral("Copy status"), {}, [this] { CopyStatus(); });
    FActions.log =
        newAction(this, QStringLiteral("Log"), QKeySequence(Qt::CTRL | Qt::Key_L), [this] { ShowLog(); });
    FActions.about = newAction(this, QStringLiteral("About"), Qt::Key_F1, [this] { ShowAbout(); });
    FActions.exit = newAction(this, QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                              [this] { SpeedButtonExitClick(SpeedButtonExit); });
    ImageBoard->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ImageBoard, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& where) { ShowContextMenu(ImageBoard->mapTo(this, where)); });
}

void TFormMain::UpdateActions() {
    using qbv::session::Action;
    FActions.connect->setEnabled(FSession.accepts(Action::Connect));
    FActions.download->setEnabled(FSession.accepts(Action::Program));
    FActions.allLedsOff->setEnabled(FSession.accepts(Action::SetLeds));
    for (QAction* action : {FActions.copyStatus, FActions.log, FActions.about})
        action->setEnabled(FSession.accepts(Action::Look));
    FActions.exit->setEnabled(FSession.verdict(Action::Close) != qbv::session::Verdict::Drop);
}

void TFormMain::ShowContextMenu(const QPoint& where) {
    UpdateActions();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("BoardMenu"));
    menu.addActions({FActions.connect, FActions.download, FActions.allLedsOff});
    menu.addSeparator();
    menu.addActions({FActions.copyStatus, FActions.log, FActions.about});
    menu.addSeparator();
    menu.addAction(FActions.exit);
    menu.exec(mapToGlobal(where));
    // Shortcuts reach the gate again, which judges them when they fire.
    for (QAction* action : {FActions.connect, FActions.download, FActions.allLedsOff, FActions.copyStatus,
                            FActions.log, FActions.about, FActions.exit})
        action->setEnabled(true);
}

void TFormMain::AllLedsOff() {
    if (!FSession.accepts(qbv::session::Action::SetLeds))
        return;
    for (int led = 0; led < qbv::kLedCount; ++led)
        FIoButtons[led]->SetDown(false);
    // One LED command carries all eight: the first button's click handler sends it.
    SpeedButtonLedClick(FIoButtons[0]);
}

void TFormMain::CopyStatus() {
    if (!FSession.accepts(qbv::session::Action::Look))
        return;
    QGuiApplication::clipboard()->setText(StatusBar->panelText(0));
}

void TFormMain::ShowLog() {
    if (!FSession.accepts(qbv::session::Action::Look))
        return;
    if (!FLogWindow)
        FLogWindow = new LogWindow(*FLog, this);
    FLogWindow->show();
    FLogWindow->raise();
}

void TFormMain::Log(const QString& line) {
    FLog->add(line);
}

void TFormMain::ShowAbout() {
    if (!FSession.accepts(qbv::session::Action::Look))
        return;
    // The library the next connection loads: the one in use, or the file as it lies beside the program.
    std::unique_ptr<TJtagPort> looked;
    const TJtagPort* port = FSession.port();
    if (!port) {
        looked = std::make_unique<TJtagPort>();
        port = looked.get();
    }
    const std::string edition = port->edition();
    const std::string toolChain = qbv::platform::vendorInstallDirectory();
    ShowBox(
        qbv::MessageKind::Information,
        QStringLiteral(
            "QB-vela Control Panel %1\n\nJTAG access library: %2\n%3\n\nFPGA vendor's tool chain: %4")
            .arg(QStringLiteral(QBV_VERSION), QString::fromLocal8Bit(port->LibraryPath()),
                 edition.empty()
                     ? QStringLiteral("(not loaded: %1)").arg(QString::fromLocal8Bit(port->errorString()))
                     : QStringLiteral("Edition: %1").arg(QString::fromStdString(edition)),
                 toolChain.empty() ? QStringLiteral("none was found") : QString::fromLocal8Bit(toolChain)),
        BoxButtons::Ok);
}
