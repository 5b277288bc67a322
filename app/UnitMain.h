#pragma once

#include "app/MessageBoxes.h"
#include "common/Colours.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class EventLog;
class LogWindow;
class QAction;
class TImage;
class TJtagPort;
class TPaintBox;
class TSpeedButton;
class TStatusBar;
class TTimer;
class QPainter;
namespace qbv::layout {
struct GpioGrid;
}
namespace qbv::programming {
struct ProgrammerRun;
}
namespace qbv::board {
enum class ConnectOutcome;
}

// The program's one window: the board picture with the LED, GPIO and key controls over it, the status
// line, the connection sequence and the programming job. Everything runs on the GUI thread; the flags
// below keep handlers that run nested inside waiting loops orderly.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    // Private window messages, always posted: run the connection sequence, run the programming job.
    static constexpr int WM_CONNECT_BOARD = 1025;
    static constexpr int WM_PROGRAM_MAXII = 1026;

    explicit TFormMain(QWidget* parent = nullptr);
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

    // Event handlers.
    void FormShow(QObject* Sender);
    bool FormCloseQuery(QObject* Sender);
    void FormClose(QObject* Sender);
    void ImageBoardMouseMove(QObject* Sender);
    void SpeedButtonLedClick(QObject* Sender);
    void SpeedButtonAlteraClick(QObject* Sender);
    void SpeedButtonAlteraMouseMove(QObject* Sender);
    void SpeedButtonMarovanClick(QObject* Sender);
    void SpeedButtonMarovanMouseMove(QObject* Sender);
    void SpeedButtonDownloadClick(QObject* Sender);
    void SpeedButtonDownloadMouseMove(QObject* Sender);
    void SpeedButtonPioClick(QObject* Sender);
    void PaintBoxButtonPaint(QObject* Sender);
    void SpeedButtonExitClick(QObject* Sender);
    void SpeedButtonExitMouseMove(QObject* Sender);
    void SpeedButtonConnectClick(QObject* Sender);
    void SpeedButtonConnectMouseMove(QObject* Sender);
    void TimerBootTimer(QObject* Sender);
    void TimerProgressTimer(QObject* Sender);
    void TimerButtonPollingTimer(QObject* Sender);

    // Modal boxes: the window's own, or those it was handed (a test's user at the boxes).
    BoxAnswer ShowBox(qbv::MessageKind kind, const QString& text, BoxButtons buttons);
    void SetMessageBoxes(MessageBoxes* boxes) { FMessageBoxes = boxes ? boxes : &FOwnBoxes; }

    // Status line.
    void ShowStatus(const QString& text, qbv::colour::Colour colour);
    void ShowHint(const QString& text, qbv::colour::Colour colour);
    void ShowProgress(int percent);
    void WaitPumping(uint32_t milliseconds);
    // One pass over the window's pending messages: what every wait on the GUI thread runs between tries.
    static void PumpMessages();
    void SetWindowEnabled(bool enabled);
    void StartProgressRun(uint32_t durationMs);
    void EndProgressRun();

    // Board link.
    bool ConnectBoard();
    void CreateJtagPort();
    void DestroyJtagPort();
    void ConnectionLost();
    void BoardAnswered();
    void BoardDidNotAnswer();
    bool SendCommand(int32_t command, uint8_t* data);

    // LED and GPIO controls.
    void CreateLedButtons();
    void CreateGpioButtonsA();
    void CreateGpioButtonsB();
    void BuildButtonGlyph(TSpeedButton* button, int frameCount, bool rounded, const TImage* overlay);
    void SetIoButtonsVisible(bool visible);
    void ReleaseAllIoButtons();

    // Keys.
    void CaptureKeyBackgrounds();
    void FreeKeyBackgrounds();
    void SetKeyState(uint8_t state);
    void PollKeys();

    // Programming.
    void ProgramMaxII();
    bool DownloadMaxIICode();

    // Beyond the board maker's window: the context menu on the board picture, its shortcuts, the log.
    void ShowContextMenu(const QPoint& where);
    void ShowLog();
    void ShowAbout();
    void AllLedsOff();
    void CopyStatus();
    void Log(const QString& line);
    const EventLog& EventLogOf() const { return *FLog; }
    LogWindow* LogWindowOf() const { return FLogWindow; }
    // The menu's actions, as they stand now (enabled or not by the busy and job rules).
    QAction* ConnectAction() const { return FActions.connect; }
    QAction* DownloadAction() const { return FActions.download; }
    QAction* AllLedsOffAction() const { return FActions.allLedsOff; }

    // State, for the panel's own tests and tools.
    static constexpr int kIoControlCount = 100;
    static constexpr int kFirstGpioSlot = 8;
    static constexpr int kFirstKeySlot = 96;
    TSpeedButton* IoButton(int slot) const { return FIoButtons.at(slot); }
    const QImage* KeyBackground(int key) const { return FKeyBackgrounds.at(key).get(); }
    TPaintBox* KeyPaintBox(int key) const { return szPainBox.at(key); }
    uint8_t KeyState() const { return FKeyState; }
    bool IsConnected() const { return FConnected; }
    bool IsBusy() const { return FBusy; }
    bool IsProgramming() const { return FProgramming; }
    bool IsClosing() const { return FClosing; }
    bool IsPolling() const { return FPolling; }
    bool IsShown() const { return FShown; }
    bool IsCommandInFlight() const { return FCommandInFlight; }
    bool IsWindowEnabled() const { return FWindowEnabled; }
    bool HasJtagPort() const { return FJtagPort != nullptr; }
    TJtagPort* JtagPort() const { return FJtagPort.get(); }
    int LastPercentage() const { return FLastPercentage; }
    uint32_t ProgressDuration() const { return FProgressDuration; }
    qbv::colour::Colour StatusColour() const { return FStatusColour; }
    qbv::colour::Colour HintColour() const { return FHintColour; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateComponents();
    void BindEvents();
    void StatusBarDrawPanel(TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect);
    void DrawProgressPanel(QPainter& canvas, const QRect& rect, const QString& text);
    void OpenWebLink(const char* status, const char* address);
    void ShowHintOf(QObject* sender);
    void SetBusyCursor(bool busy);
    TSpeedButton* CreateIoButton(const QRect& rect, int group, void (TFormMain::*handler)(QObject*));
    void CreateGpioButtons(const qbv::layout::GpioGrid& grid, const TPaintBox* box, int firstPin);
    // One LED or pin command from a click, with what the status line says before, on success and on failure.
    struct IoCommand {
        int32_t number;
        uint8_t data;
        const char* underWay; // nullptr: nothing shown before the command
        const char* success;
        const char* failure;
    };
    void SendIoCommand(TSpeedButton* button, const IoCommand& command);
    void PostWindowMessage(int message);
    void AcceptClose();
    void CreateMenuAndShortcuts();
    void UpdateActions();
    void LogConnectOutcome(qbv::board::ConnectOutcome outcome, uint8_t keyState);
    void LogProgrammerEnd(const qbv::programming::ProgrammerRun& ran, qint64 milliseconds);
    void CentreOnScreen();

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
    uint8_t FKeyState = 0;
    bool FPolling = false;
    bool FClosing = false;
    bool FFirstShowPending = true;
    bool FShown = false;
    std::unique_ptr<TJtagPort> FJtagPort;
    bool FConnected = false;
    bool FBusy = false;
    bool FCommandInFlight = false;

    // Set from the start of ProgramMaxII until it returns, and cleared by nothing else: unlike the busy
    // flag, which a confirmed close clears, it keeps the cable to the one programmer for the job's life.
    bool FProgramming = false;
    struct Actions {
        QAction* connect = nullptr;
        QAction* download = nullptr;
        QAction* allLedsOff = nullptr;
        QAction* copyStatus = nullptr;
        QAction* log = nullptr;
        QAction* about = nullptr;
        QAction* exit = nullptr;
    } FActions;
    EventLog* FLog = nullptr;
    LogWindow* FLogWindow = nullptr;
    // The key state the four key boxes show now; none when they must be drawn anew.
    std::optional<uint8_t> FKeysOnScreen;
    QtMessageBoxes FOwnBoxes{this};
    MessageBoxes* FMessageBoxes = &FOwnBoxes;
    bool FWindowEnabled = true;
    // The user has said quit: the window takes no more input until the program ends.
    bool FCloseAccepted = false;
};

// The application's single main window.
extern TFormMain* FormMain;
