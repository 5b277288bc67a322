#pragma once

// The window's layout over the board picture: every stored component with its geometry and texts, the
// places first show moves the paint boxes to, and the grids the LED and GPIO buttons are laid out on.
// The window builds itself from these tables and the artwork generator draws the board to match them,
// so a control always lies over the part of the picture it stands for. No Qt here.

#include "common/Board.h"
#include "common/Colours.h"
#include "common/EnumTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qbv::layout {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return left + width; } // exclusive
    constexpr int bottom() const { return top + height; }
    constexpr bool operator==(const Rect&) const = default;
};

enum class Kind { Picture, PaintBox, SpeedButton, StatusBar, Timer };

using namespace qbv::colour;

// A font of the layout: "Times New Roman" bold at a character height in pixels.
struct Font {
    int pixelHeight = 0; // 0: the window's font
    Colour colour = kBlack;
    bool windowTextColour = true; // the system's window-text colour rather than `colour`
};

enum ComponentId {
    ImageBoard,
    PaintBoxLed,
    SpeedButtonAltera,
    SpeedButtonMarovan,
    ImageLedOn,
    SpeedButtonDownload,
    PaintBoxGPIOa,
    PaintBoxGPIOb,
    ImagePioOn,
    PaintBoxButton4,
    ImagePressed,
    PaintBoxButton3,
    PaintBoxButton2,
    PaintBoxButton1,
    SpeedButtonExit,
    SpeedButtonConnect,
    StatusBar,
    TimerBoot,
    TimerProgress,
    TimerButtonPolling,
    kComponentCount,
};

struct Component {
    ComponentId id;
    const char* name;
    Kind kind;
    Rect rect; // as stored; timers have none
    bool visible;
    const char* caption;
    Font font;
    const char* hint;
};

// The twenty components in creation order, as stored with the window.
inline constexpr std::array<Component, kComponentCount> kComponents = {{
    {ImageBoard, "ImageBoard", Kind::Picture, {0, 0, 775, 514}, true, "", {}, ""},
    {PaintBoxLed, "PaintBoxLed", Kind::PaintBox, {376, 352, 316, 64}, false, "", {}, ""},
    {SpeedButtonAltera,
     "SpeedButtonAltera",
     Kind::SpeedButton,
     {68, 20, 168, 57},
     true,
     "",
     {},
     "Link to Altera Web Site"},
    {SpeedButtonMarovan,
     "SpeedButtonMarovan",
     Kind::SpeedButton,
     {168, 138, 102, 57},
     true,
     "",
     {},
     "Link to Marovan Web Side"},
    {ImageLedOn, "ImageLedOn", Kind::Picture, {144, 520, 16, 24}, false, "", {}, ""},
    {SpeedButtonDownload,
     "SpeedButtonDownload",
     Kind::SpeedButton,
     {480, 114, 177, 175},
     true,
     "Download .POF",
     {24, kBlack, true},
     "Download MAX II Code"},
    {PaintBoxGPIOa, "PaintBoxGPIOa", Kind::PaintBox, {238, 8, 460, 166}, false, "", {}, ""},
    {PaintBoxGPIOb, "PaintBoxGPIOb", Kind::PaintBox, {675, 125, 96, 140}, false, "", {}, ""},
    {ImagePioOn, "ImagePioOn", Kind::Picture, {168, 520, 15, 15}, false, "", {}, ""},
    {PaintBoxButton4, "PaintBoxButton4", Kind::PaintBox, {400, 448, 40, 40}, true, "", {}, ""},
    {ImagePressed, "ImagePressed", Kind::Picture, {192, 520, 32, 32}, true, "", {}, ""},
    {PaintBoxButton3, "PaintBoxButton3", Kind::PaintBox, {480, 448, 40, 40}, true, "", {}, ""},
    {PaintBoxButton2, "PaintBoxButton2", Kind::PaintBox, {565, 448, 40, 40}, true, "", {}, ""},
    {PaintBoxButton1, "PaintBoxButton1", Kind::PaintBox, {646, 448, 40, 40}, true, "", {}, ""},
    {SpeedButtonExit,
     "SpeedButtonExit",
     Kind::SpeedButton,
     {8, 448, 257, 57},
     true,
     "Exit",
     {48, kYellow, false},
     "Terminate this program."},
    {SpeedButtonConnect,
     "SpeedButtonConnect",
     Kind::SpeedButton,
     {0, 88, 129, 105},
     true,
     "Connect",
     {24, kBlack, true},
     "Connect Board"},
    {StatusBar, "StatusBar", Kind::StatusBar, {0, 556, 774, 19}, true, "", {}, ""},
    {TimerBoot, "TimerBoot", Kind::Timer, {}, false, "", {}, ""},
    {TimerProgress, "TimerProgress", Kind::Timer, {}, false, "", {}, ""},
    {TimerButtonPolling, "TimerButtonPolling", Kind::Timer, {}, false, "", {}, ""},
}};
static_assert(rowsInEnumOrder(kComponents, &Component::id, kComponentCount));

constexpr const Component& component(ComponentId id) {
    return rowOf(kComponents, id);
}

// The window.
constexpr const char* kCaption = "Marovan QB-vela Control Panel V1.0.0";
constexpr int kClientWidth = 774;
constexpr int kStoredClientHeight = 575;
constexpr int kWindowFontPixelHeight = 19;
constexpr const char* kFontFamily = "Times New Roman";

// Stored timer intervals (ms); the boot timer stores none and has the kind's default.
constexpr int kDefaultTimerInterval = 1000;
constexpr int kProgressInterval = 100;
constexpr int kStoredPollingInterval = 50;

// Status bar: panel widths as stored, its stored texts; the last panel reaches the right edge.
constexpr int kStatusBarHeight = 19;
constexpr std::array<int, 3> kPanelWidths = {300, 300, 50};
constexpr std::array<const char*, 3> kPanelTexts = {"Status", "", "50"};

// Where first show places the three paint boxes the I/O buttons are laid out in.
constexpr Rect kPaintBoxLedPlaced{376, 352, 316, 64};
constexpr Rect kPaintBoxGPIOaPlaced{238, 12, 462, 163};
constexpr Rect kPaintBoxGPIObPlaced{676, 128, 93, 138};

// The client height after first show: the board picture and the status bar below it.
constexpr int kClientHeight = 514 + kStatusBarHeight;

// Keys: key k is bit k of the key state and lies under szPainBox[k] (key 0 is the rightmost, BUTTON1).
constexpr int BUTTON_NUM = kKeyCount;
constexpr std::array<ComponentId, BUTTON_NUM> szPainBox = {PaintBoxButton1, PaintBoxButton2, PaintBoxButton3,
                                                           PaintBoxButton4};

// The five main speed buttons in the order their glyphs are built.
constexpr std::array<ComponentId, 5> kMainButtonGlyphOrder = {
    SpeedButtonMarovan, SpeedButtonAltera, SpeedButtonDownload, SpeedButtonExit, SpeedButtonConnect};

// The LED buttons: eight columns over the LED paint box, each widened or narrowed to about 28 pixels
// and nudged onto its LED. LED 0 is the leftmost (printed LED8).
constexpr std::array<int, kLedCount> kLedNudge = {+1, +2, +2, -2, -2, -1, -1, 0};
Rect ledButtonRect(const Rect& paintBox, int led);

// The GPIO grids: equal cells scanned row by row, some holding no pin; pin indices run on from grid A
// into grid B.
struct GpioGrid {
    int columns;
    int rows;
    bool (*holdsPin)(int column, int row);
};
bool gridAHoldsPin(int column, int row);
bool gridBHoldsPin(int column, int row);
constexpr GpioGrid kGridA{20, 7, &gridAHoldsPin};
constexpr GpioGrid kGridB{4, 6, &gridBHoldsPin};

struct PinButton {
    int pin;
    int column;
    int row;
    Rect rect;
};
// The buttons of one grid over a paint box, numbered on from firstPin.
std::vector<PinButton> gpioButtons(const GpioGrid& grid, const Rect& paintBox, int firstPin);
// All 88, as first show places them: grid A's 68 then grid B's 20.
std::vector<PinButton> placedGpioButtons();

// What is known of a GPIO pin: its number, the header it lies on (grid A's pins on J2, grid B's on J3) and
// its row and column in the picture: "GPIO 17: header J2, picture row 1, column 20". The header's own pin
// numbering is not known, so it is not guessed at.
std::string gpioLabel(int gpio);
// All 8, as first show places them.
std::array<Rect, kLedCount> placedLedButtons();

} // namespace qbv::layout
