#pragma once

// The demo shows the virtual board's window and the panel's side by side, the board on the left as in
// the README's picture, so that neither lies under the other. Each program places its own window from
// the same screen area and the same two frame widths, and so the two agree without talking. No Qt here.

namespace qbv::layout {

// The least the board's window is shrunk to, for its keys and LEDs to stay easy to hit and to see: on a
// screen narrower than the panel and the board at that size, the panel lies over the board's right edge.
constexpr double kBoardLeastScale = 0.5;

// The left edges of the two windows' frames, in the screen's coordinates, and the board's frame width.
struct SideBySide {
    int boardLeft = 0;
    int boardWidth = 0;
    int panelLeft = 0;

    constexpr bool operator==(const SideBySide&) const = default;
};

// The pair across an area (the screen's free part, without its task bar): the board as wide as the room
// beside the panel lets it be, from kBoardLeastScale of its full width up to that width, and the two
// centred together. The panel keeps its width.
SideBySide sideBySide(int areaLeft, int areaWidth, int boardWidth, int panelWidth);

} // namespace qbv::layout
