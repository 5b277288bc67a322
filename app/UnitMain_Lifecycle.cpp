// The window's life: first show, the private messages, the web links, hints, Exit and the close.

#include "app/BoardMenu.h"
#include "app/UnitMain.h"
#include "app/WebLinks.h"

#include "common/Format.h"
#include "common/Texts.h"
#include "platform/Clock.h"
#include "resources/BoardLayout.h"
#include "resources/LayoutQt.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace layout = qbv::layout;
using namespace qbv::colour;
using qbv::session::Action;
using qbv::session::State;
using qbv::session::Verdict;

namespace {
// How long a close that the user confirmed during a running job keeps handling messages before it
// goes ahead, and how long the close waits for a running key poll.
constexpr uint32_t kCloseGraceMs = 2000;
constexpr uint32_t kPollWaitMs = 6000;
} // namespace

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
    ShowStatus(QString::fromStdString(qbv::formatText(qbv::text::kConnecting, qbv::text::kBoardName)), kBlue);
    TimerBoot->SetInterval(100);
    TimerBoot->SetEnabled(true);
    TimerProgress->SetInterval(100);
    TimerProgress->SetEnabled(true);
    DrawState(FSession.state());
    MakeReachableByKeyboard();
    CentreOnScreen();
}

void TFormMain::CentreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void TFormMain::OpenWebLink(const char* status, const char* address) {
    if (!FSession.accepts(Action::Look))
        return;
    SetWindowEnabled(false);
    SetBusyCursor(true);
    ShowStatus(QString::fromLatin1(status), kBlue);
    const bool opened = QDesktopServices::openUrl(QUrl(QString::fromLatin1(address)));
    Log(QStringLiteral("%1 %2").arg(opened ? QStringLiteral("Opened") : QStringLiteral("Could not open"),
                                    QString::fromLatin1(address)));
    ShowStatus(QString(), kBlue);
    if (!opened)
        ShowHint(QStringLiteral("The web address could not be opened (it is in the log)"), kRed);
    SetBusyCursor(FLookDrawn && FLookDrawn->busy);
    SetWindowEnabled(true);
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
    // The window stays on screen until the program ends: when the close happens inside a waiting job,
    // that is only once the job has returned to the message loop.
    event->ignore();
    if (!FormCloseQuery(this))
        return;
    FormClose(this);
    QCoreApplication::exit(0);
}

bool TFormMain::FormCloseQuery(QObject*) {
    switch (FSession.request(Action::Close).verdict) {
    case Verdict::Run:
        return true;
    case Verdict::Confirm:
        break;
    default: // the close is already under way
        return false;
    }
    if (ShowBox(qbv::MessageKind::Warning, QString::fromLatin1(qbv::text::kQuitQuestion),
                BoxButtons::YesNo) != BoxAnswer::Yes)
        return false;
    FSession.beginClosing();
    WaitPumping(kCloseGraceMs);
    return true;
}

BoxAnswer TFormMain::ShowBox(qbv::MessageKind kind, const QString& text, BoxButtons buttons,
                             const QString& detail) {
    return FMessageBoxes->show(kind, text, buttons, detail);
}

void TFormMain::FormClose(QObject*) {
    TimerBoot->SetEnabled(false);
    TimerProgress->SetEnabled(false);
    TimerButtonPolling->SetEnabled(false);
    // A key poll still drawing its keys (a close from inside it) ends first, or is given up on.
    const uint32_t start = qbv::platform::tickCount();
    while (FSession.state() == State::Commanding && qbv::platform::elapsedSince(start) < kPollWaitMs)
        WaitPumping(10);
    FSession.close();
    FreeKeyBackgrounds();
}
