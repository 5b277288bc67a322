#pragma once

#include "app/MessageBoxes.h"
#include "app/VirtualBoardProbe.h"
#include "common/Colours.h"
#include "platform/ProgramLocation.h"
#include "session/Session.h"

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class BoardMenu;
class InputHold;
class ScriptServer;
class TImage;
class TPaintBox;
class TSpeedButton;
class TStatusBar;
class TTimer;
class QPainter;
namespace qbv::layout {
struct GpioGrid;
}

// The program's one window: the board picture with the LED, GPIO and key controls over it, and the status
// line. It draws the board link's state, which its session holds, and hands every input to the session's
// gate; what runs behind the gate (the connection sequence, the commands, the key polls, the programming
// job) is the session's. Everything runs on the GUI thread.
class TFormMain : public QWidget, private qbv::session::SessionView {
    Q_OBJECT
public:
    // The panel of the program in this folder (its library, design file and chain definition file: the
    // executable's, or one a test lays out as it); its boxes are real ones unless it is handed others (a
    // test's user at the boxes).
    explicit TFormMain(const std::string& folder = qbv::platform::executableDirectory(),
                       MessageBoxes* boxes = nullptr, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Published components, in their declaration order.
    TStatusBar* StatusBar;
    TImage* ImageBoard;
    TPaintBox* PaintBoxLed;
    TSpeedButton* SpeedButtonAltera;
    TSpeedButton* SpeedButtonMarovan;
    TImage* ImageLedOn;
    TSpeedButton* SpeedButtonDownload;
    TTimer* TimerBoot;
    TPaintBox* PaintBoxGPIOa;
    TPaintBox* PaintBoxGPIOb;
    TImage* ImagePioOn;
    TTimer* TimerProgress;
    TTimer* TimerButtonPolling;
    TPaintBox* PaintBoxButton4;
    TImage* ImagePressed;
    TPaintBox* PaintBoxButton3;
    TPaintBox* PaintBoxButton2;
    TPaintBox* PaintBoxButton1;
    TSpeedButton* SpeedButtonExit;
    TSpeedButton* SpeedButtonConnect;

    // Boxes modal to the window, opened without waiting; the hourglass gives way to the arrow meanwhile.
    void OpenBox(qbv::MessageKind kind, const QString& text, BoxButtons buttons, const QString& detail = {},
                 MessageBoxes::Answered answered = {});

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Private window messages, always posted: run the connection sequence, run the programming job.
    static constexpr int WM_CONNECT_BOARD = 1025;
    static constexpr int WM_PROGRAM_MAXII = 1026;

    static constexpr int kFirstGpioSlot = 8;
    static constexpr int kFirstKeySlot = 96;

    // Event handlers.
    void FormShow(QObject* Sender);
    bool FormCloseQuery(QObject* Sender);
    void FormClose(QObject* Sender);
    void ImageBoardMouseMove(QObject* Sender);
    void SpeedButtonConnectClick(QObject* Sender);
    void SpeedButtonDownloadClick(QObject* Sender);
    void SpeedButtonExitClick(QObject* Sender);
    void SpeedButtonLedClick(QObject* Sender);
    void SpeedButtonAlteraClick(QObject* Sender);
    void SpeedButtonAlteraMouseMove(QObject* Sender);
    void SpeedButtonMarovanClick(QObject* Sender);
    void SpeedButtonMarovanMouseMove(QObject* Sender);
    void SpeedButtonDownloadMouseMove(QObject* Sender);
    void SpeedButtonPioClick(QObject* Sender);
    void PaintBoxButtonPaint(QObject* Sender);
    void SpeedButtonExitMouseMove(QObject* Sender);
    void SpeedButtonConnectMouseMove(QObject* Sender);
    void TimerBootTimer(QObject* Sender);
    void TimerProgressTimer(QObject* Sender);
    void TimerButtonPollingTimer(QObject* Sender);

    // Status line.
    void ShowStatus(const QString& text, qbv::colour::Colour colour);
    void ShowHint(const QString& text, qbv::colour::Colour colour);
    void ShowProgress(int percent);
    void StartProgressRun(uint32_t durationMs);
    void EndProgressRun();

    // LED and GPIO controls.
    void CreateLedButtons();
    void CreateGpioButtonsA();
    void CreateGpioButtonsB();
    void BuildButtonGlyph(TSpeedButton* button, int frameCount, bool rounded, const TImage* overlay);
    void SetIoButtonsVisible(bool visible);
    void ReleaseAllIoButtons();
    void MakeReachableByKeyboard();

    // Keys.
    void CaptureKeyBackgrounds();
    void FreeKeyBackgrounds();
    void SetKeysPressed();

    // A line in the log.
    void Log(const QString& line);

    // What the session asks of its view.
    void stateChanged(qbv::session::State state) override { DrawState(state); }
    void showStatus(const std::string& text, qbv::colour::Colour colour) override;
    void openBox(const qbv::session::Box& box) override;
    void closeBox() override;
    void wakeAfter(uint32_t milliseconds) override { FWake.start(static_cast<int>(milliseconds)); }
    void startPolling() override;
    void pollAfter(uint32_t milliseconds) override;
    void ended() override;
    void startProgressRun(uint32_t durationMs) override;
    void endProgressRun() override { EndProgressRun(); }
    void releaseControls() override { ReleaseAllIoButtons(); }
    void keysRead(uint8_t keys) override;
    void commandTaken(int32_t command, uint8_t data) override;

    void DrawState(qbv::session::State state);

    void CreateComponents();
    void BindEvents();
    void StatusBarDrawPanel(TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect);
    void OpenWebLink(const char* status, const char* address);
    void ShowHintOf(QObject* sender);
    void SetBusyCursor(bool busy);
    void UpdateCursor();
    void WatchEndRequests();
    TSpeedButton* CreateIoButton(const QRect& rect, int group, void (TFormMain::*handler)(QObject*));
    void CreateGpioButtons(const qbv::layout::GpioGrid& grid, const TPaintBox* box, int firstPin);
    void SendIoCommand(TSpeedButton* button, qbv::session::Action action, uint8_t data);
    void PostWindowMessage(int message);

    // The key paint boxes by key: key k is bit k of the key state.
    std::array<TPaintBox*, 4> szPainBox{};

    // Private fields, in their order.
    uint32_t FProgressStart = 0;
    uint32_t FProgressDuration = 10000;
    qbv::colour::Colour FStatusColour = 0;
    qbv::colour::Colour FHintColour = 0;
    int32_t FLastPercentage = -1;
    std::array<TSpeedButton*, kFirstKeySlot> FIoButtons{};  // slots 0-95: LED, then GPIO buttons
    std::array<std::unique_ptr<QImage>, 4> FKeyBackgrounds; // slots 96-99: key backgrounds
    bool FFirstShowPending = true;
    // The board link: its state, the JTAG port and everything that runs on it.
    qbv::session::Session FSession;

    // The context menu on the board picture, its shortcuts, the log and About; the scripts served.
    BoardMenu* FMenu = nullptr;
    ScriptServer* FScripts = nullptr;
    // The key state the four key boxes show now; none when they must be drawn anew.
    std::optional<uint8_t> FKeysOnScreen;
    // The state's look as drawn last; none before the first.
    std::optional<qbv::session::Look> FLookDrawn;
    // What wakes the session when a step's time has come; the boxes up.
    QTimer FWake;
    int FBoxesUp = 0;
    // Input held back while a web link opens, and once the window is closing.
    InputHold* FInputHold;
    QtMessageBoxes FOwnBoxes{this};
    MessageBoxes* FMessageBoxes;
};

// The application's single main window.
extern TFormMain* FormMain;
