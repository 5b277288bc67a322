#pragma once

// The names under which the programs find their pictures, built into qbv_artwork as Qt resources from the
// files of the same names that the artwork generator draws.

#include <cstring>

namespace qbv::artwork {

inline constexpr const char* kResourceFolder = ":/artwork/";

inline constexpr const char* kBoard = ":/artwork/board.bmp";          // 775 x 514, 24 bits
inline constexpr const char* kLedOn = ":/artwork/led_on.bmp";         // 16 x 24, 16 colours
inline constexpr const char* kPioOn = ":/artwork/pio_on.bmp";         // 15 x 15, 16 colours
inline constexpr const char* kPressed = ":/artwork/pressed.bmp";      // 32 x 32, 16 colours
inline constexpr const char* kExitGlyph = ":/artwork/exit_glyph.bmp"; // 50 x 50, 16 colours
inline constexpr const char* kIconPng = ":/artwork/icon.png";         // 32 x 32
inline constexpr const char* kIconIco = ":/artwork/icon.ico";         // 32 x 32, 16 colours

// The file a picture is drawn into, in the build's artwork folder.
inline const char* fileName(const char* resource) {
    return resource + std::strlen(kResourceFolder);
}

// True when every picture above is present; a build that lost its resources shows here, not as an
// empty window.
bool artworkPresent();

} // namespace qbv::artwork
