#pragma once

// The colours of the board picture: a deep green solder mask over FR-4, gold-plated copper, tin, white
// silkscreen and black plastic.

#include <QRgb>

namespace qbv::artgen {

inline constexpr QRgb kDesk = 0xFF26282B;           // what shows past the board's rounded corners
inline constexpr QRgb kBoardEdge = 0xFF9FA77A;      // the routed FR-4 edge
inline constexpr QRgb kMask = 0xFF0E4A2C;           // solder mask over bare laminate
inline constexpr QRgb kMaskOverCopper = 0xFF1A6A3E; // solder mask over a trace or a copper pour
inline constexpr QRgb kGold = 0xFFD9AE55;
inline constexpr QRgb kGoldDark = 0xFF9C7327;
inline constexpr QRgb kGoldLight = 0xFFF6DE9A;
inline constexpr QRgb kTin = 0xFFC9CCCB;
inline constexpr QRgb kTinDark = 0xFF7F8486;
inline constexpr QRgb kSilk = 0xFFEDEFE6;
inline constexpr QRgb kPlastic = 0xFF17181A;
inline constexpr QRgb kPlasticLight = 0xFF3A3D41;
inline constexpr QRgb kChipBody = 0xFF222325;
inline constexpr QRgb kChipMarking = 0xFFB9BDBE;

} // namespace qbv::artgen
