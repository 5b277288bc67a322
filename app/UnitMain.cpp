// The window as laid out: its components in creation order, their stored properties and the binding of
// their events to the window's handlers.

#include "app/UnitMain.h"

#include "app/BoardMenu.h"
#include "app/Components.h"
#include "app/ScriptServer.h"
#include "resources/Artwork.h"
#include "widgets/InputHold.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QApplication>

TFormMain* FormMain = nullptr;

namespace layout = qbv::layout;

TFormMain::TFormMain(const std::string& folder, MessageBoxes* boxes, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      FSession(*this, folder, probeVirtualBoard), FMessageBoxes(boxes ? boxes : &FOwnBoxes) {
    FormMain = this;
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QString::fromLatin1(layout::kCaption));
    setFont(components::layoutFont(layout::kWindowFontPixelHeight));
    QPalette background = palette();
    background.setColor(QPalette::Window,
                        QApplication::palette().color(QPalette::Inactive, QPalette::Highlight));
    setPalette(background);
    setAutoFillBackground(true);
    setFixedSize(layout::kClientWidth, layout::kStoredClientHeight);
    CreateComponents();
    BindEvents();
    FMenu = new BoardMenu(
        {*this, *ImageBoard, [this] { return StatusBar->panelText(0); },
         [this](const QString& text) { OpenBox(qbv::MessageKind::Information, text, BoxButtons::Ok); }},
        FSession);
    FScripts = new ScriptServer(FSession, this);
    if (QString why; !FScripts->listen(why))
        Log(QStringLiteral("Scripts are not served: %1").arg(why));
    FWake.setSingleShot(true);
    FWake.setTimerType(Qt::PreciseTimer);
    connect(&FWake, &QTimer::timeout, this, [this] { FSession.advance(); });
    WatchEndRequests();
    FInputHold = new InputHold(*this);
}

TFormMain::~TFormMain() {
    // The scripts' connections go before the session they name their requests to.
    delete FScripts;
    FScripts = nullptr;
    if (FormMain == this)
        FormMain = nullptr;
}

void TFormMain::CreateComponents() {
    using namespace qbv::layout;
    using namespace components;
    ImageBoard = createPicture(this, layout::ImageBoard, qbv::artwork::kBoard, false);
    PaintBoxLed = placed(new TPaintBox(this), layout::PaintBoxLed);
    SpeedButtonAltera = createSpeedButton(this, layout::SpeedButtonAltera);
    SpeedButtonMarovan = createSpeedButton(this, layout::SpeedButtonMarovan);
    ImageLedOn = createPicture(this, layout::ImageLedOn, qbv::artwork::kLedOn, true);
    SpeedButtonDownload = createSpeedButton(this, layout::SpeedButtonDownload);
    PaintBoxGPIOa = placed(new TPaintBox(this), layout::PaintBoxGPIOa);
    PaintBoxGPIOb = placed(new TPaintBox(this), layout::PaintBoxGPIOb);
    ImagePioOn = createPicture(this, layout::ImagePioOn, qbv::artwork::kPioOn, true);
    PaintBoxButton4 = placed(new TPaintBox(this), layout::PaintBoxButton4);
    ImagePressed = createPicture(this, layout::ImagePressed, qbv::artwork::kPressed, true);
    PaintBoxButton3 = placed(new TPaintBox(this), layout::PaintBoxButton3);
    PaintBoxButton2 = placed(new TPaintBox(this), layout::PaintBoxButton2);
    PaintBoxButton1 = placed(new TPaintBox(this), layout::PaintBoxButton1);
    SpeedButtonExit = createSpeedButton(this, layout::SpeedButtonExit);
    SpeedButtonExit->setGlyph(QImage(QString::fromLatin1(qbv::artwork::kExitGlyph)), 1);
    SpeedButtonConnect = createSpeedButton(this, layout::SpeedButtonConnect);
    szPainBox = {PaintBoxButton1, PaintBoxButton2, PaintBoxButton3, PaintBoxButton4};
    // Screen readers read each box as the key it shows: a button, pressed while held down on the board.
    for (int key = 0; key < qbv::kKeyCount; ++key) {
        szPainBox[key]->setToolTip(QString::fromStdString(qbv::keyLabel(key)));
        szPainBox[key]->setAccessibleRole(QAccessible::Button);
    }
    StatusBar = placed(new TStatusBar(this), layout::StatusBar);
    for (size_t panel = 0; panel < kPanelWidths.size(); ++panel)
        StatusBar->addPanel(kPanelWidths[panel], QString::fromLatin1(kPanelTexts[panel]));
    StatusBar->dock();
    TimerBoot = createTimer(this, layout::TimerBoot, kDefaultTimerInterval);
    TimerProgress = createTimer(this, layout::TimerProgress, kProgressInterval);
    TimerButtonPolling = createTimer(this, layout::TimerButtonPolling, kStoredPollingInterval);
}

void TFormMain::BindEvents() {
    connect(ImageBoard, &TImage::mouseMoved, this, &TFormMain::ImageBoardMouseMove);
    connect(PaintBoxLed, &TPaintBox::clicked, this, &TFormMain::SpeedButtonLedClick);
    connect(PaintBoxGPIOa, &TPaintBox::clicked, this, &TFormMain::SpeedButtonPioClick);
    connect(SpeedButtonAltera, &TSpeedButton::clicked, this,
            [this] { SpeedButtonAlteraClick(SpeedButtonAltera); });
    connect(SpeedButtonAltera, &TSpeedButton::mouseMoved, this, &TFormMain::SpeedButtonAlteraMouseMove);
    connect(SpeedButtonMarovan, &TSpeedButton::clicked, this,
            [this] { SpeedButtonMarovanClick(SpeedButtonMarovan); });
    connect(SpeedButtonMarovan, &TSpeedButton::mouseMoved, this, &TFormMain::SpeedButtonMarovanMouseMove);
    connect(SpeedButtonDownload, &TSpeedButton::clicked, this,
            [this] { SpeedButtonDownloadClick(SpeedButtonDownload); });
    connect(SpeedButtonDownload, &TSpeedButton::mouseMoved, this, &TFormMain::SpeedButtonDownloadMouseMove);
    for (TPaintBox* key : {PaintBoxButton1, PaintBoxButton2, PaintBoxButton3, PaintBoxButton4})
        connect(key, &TPaintBox::paint, this, &TFormMain::PaintBoxButtonPaint);
    connect(SpeedButtonExit, &TSpeedButton::clicked, this, [this] { SpeedButtonExitClick(SpeedButtonExit); });
    connect(SpeedButtonExit, &TSpeedButton::mouseMoved, this, &TFormMain::SpeedButtonExitMouseMove);
    connect(SpeedButtonConnect, &TSpeedButton::clicked, this,
            [this] { SpeedButtonConnectClick(SpeedButtonConnect); });
    connect(SpeedButtonConnect, &TSpeedButton::mouseMoved, this, &TFormMain::SpeedButtonConnectMouseMove);
    connect(TimerBoot, &TTimer::timer, this, &TFormMain::TimerBootTimer);
    connect(TimerProgress, &TTimer::timer, this, &TFormMain::TimerProgressTimer);
    connect(TimerButtonPolling, &TTimer::timer, this, &TFormMain::TimerButtonPollingTimer);
}
