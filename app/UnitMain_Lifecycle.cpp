// The window's life: first show, the private messages, the web links, hints, Exit and the close.

#include "app/BoardMenu.h"
#include "app/Components.h"
#include "app/UnitMain.h"
#include "app/WebLinks.h"

#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "platform/Interrupt.h"
#include "resources/BoardLayout.h"
#include "resources/LayoutQt.h"
#include "resources/SideBySide.h"
#include "widgets/InputHold.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QUrl>

namespace layout = qbv::layout;
using namespace qbv::colour;
using qbv::session::Action;
using qbv::session::State;
using qbv::session::Verdict;

void TFormMain::showEvent(QShowEvent* event) {
    FormShow(this);
    QWidget::showEvent(event);
}

void TFormMain::FormShow(QObject*) {
    if (!FFirstShowPending)
        return;
    FFirstShowPending = false;
    PaintBoxLed->setGeometry(layout::toQRect(layout::kPaintBoxLedPlaced));
    PaintBoxGPIOa->setGeometry(layout::toQRect(layout::kPaintBoxGPIOaPlaced));
    PaintBoxGPIOb->setGeometry(layout::toQRect(layout::kPaintBoxGPIObPlaced));
    setFixedSize(width(), ImageBoard->height() + StatusBar->height());
    CreateLedButtons();
    CreateGpioButtonsA();
    CreateGpioButtonsB();
    for (TSpeedButton* button :
         {SpeedButtonMarovan, SpeedButtonAltera, SpeedButtonDownload, SpeedButtonExit, SpeedButtonConnect})
        BuildButtonGlyph(button, 1, true, nullptr);
    StatusBar->raise(); // a child window lies above every windowless control
    CaptureKeyBackgrounds();
    SetIoButtonsVisible(false);
    connect(StatusBar, &TStatusBar::drawPanel, this, &TFormMain::StatusBarDrawPanel, Qt::UniqueConnection);
    StartProgressRun(10000);
    FSession.shown();
    TimerBoot->SetInterval(100);
    TimerBoot->SetEnabled(true);
    TimerProgress->SetInterval(100);
    TimerProgress->SetEnabled(true);
    DrawState(FSession.state());
    MakeReachableByKeyboard();
    components::centreOnScreen(*this);
}

void TFormMain::OpenWebLink(const char* status, const char* address) {
    if (!FSession.accepts(Action::Look))
        return;
    FInputHold->setHeld(true);
    UpdateCursor();
    ShowStatus(QString::fromLatin1(status), kBlue);
    const bool opened = QDesktopServices::openUrl(QUrl(QString::fromLatin1(address)));
    Log(QStringLiteral("%1 %2").arg(opened ? QStringLiteral("Opened") : QStringLiteral("Could not open"),
                                    QString::fromLatin1(address)));
    ShowStatus(QString(), kBlue);
    if (!opened)
        ShowHint(QStringLiteral("The web address could not be opened (it is in the log)"), kRed);
    FInputHold->setHeld(FSession.closing());
    UpdateCursor();
}

void TFormMain::SpeedButtonMarovanClick(QObject*) {
    OpenWebLink("Link Marovan Web Site...", qbv::web::kMakerSite);
}

void TFormMain::SpeedButtonAlteraClick(QObject*) {
    OpenWebLink("Link Altera Web Site...", qbv::web::kFpgaVendorSite);
}

void TFormMain::Log(const QString& line) {
    FMenu->log(line);
}

void TFormMain::ShowHintOf(QObject* sender) {
    if (auto* button = qobject_cast<TSpeedButton*>(sender))
        ShowHint(button->toolTip(), kBlack);
}

void TFormMain::SpeedButtonMarovanMouseMove(QObject* Sender) {
    ShowHintOf(Sender);
}
void TFormMain::SpeedButtonAlteraMouseMove(QObject* Sender) {
    ShowHintOf(Sender);
}
void TFormMain::SpeedButtonDownloadMouseMove(QObject* Sender) {
    ShowHintOf(Sender);
}
void TFormMain::SpeedButtonExitMouseMove(QObject* Sender) {
    ShowHintOf(Sender);
}
void TFormMain::SpeedButtonConnectMouseMove(QObject* Sender) {
    ShowHintOf(Sender);
}
void TFormMain::ImageBoardMouseMove(QObject*) {
    // A web link's failure stays in view until a button's hint takes its place.
    if (FHintColour != kRed)
        ShowHint(QString(), kBlack);
}

void TFormMain::SpeedButtonExitClick(QObject*) {
    // Nothing changes before the close question: No leaves the panel as it was.
    close();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // The window stays on screen until the program ends, which the session says once the work allows.
    event->ignore();
    FormCloseQuery(this);
}

bool TFormMain::FormCloseQuery(QObject*) {
    FSession.close();
    return FSession.state() == State::Closed;
}

// Requests to end that cannot be asked about: the desktop session ending, and on Linux the signals a
// terminal or the system sends. Each counts as Yes to the close question.
void TFormMain::WatchEndRequests() {
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { FSession.close(false); });
    const int descriptor = qbv::platform::watchEndRequests();
    if (descriptor < 0)
        return;
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        qbv::platform::takeEndRequests();
        FSession.close(false);
    });
}

void TFormMain::ended() {
    FormClose(this);
    hide();
    QCoreApplication::exit(0);
}

void TFormMain::OpenBox(qbv::MessageKind kind, const QString& text, BoxButtons buttons, const QString& detail,
                        MessageBoxes::Answered answered) {
    ++FBoxesUp;
    UpdateCursor();
    FMessageBoxes->open(kind, text, buttons, detail,
                        [this, window = QPointer<TFormMain>(this), answered](BoxAnswer answer) {
                            if (!window)
                                return;
                            --FBoxesUp;
                            UpdateCursor();
                            if (answered)
                                answered(answer);
                        });
}

void TFormMain::FormClose(QObject*) {
    TimerBoot->SetEnabled(false);
    TimerProgress->SetEnabled(false);
    TimerButtonPolling->SetEnabled(false);
    FWake.stop();
    FreeKeyBackgrounds();
}
