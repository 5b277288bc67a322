#pragma once

// The sixteen colours every Windows display can show, in the order a 4-bit picture indexes them. The
// overlays and the icon are drawn with these alone, so they look the same on any screen.

#include <QColor>
#include <QList>
#include <QRgb>

#include <array>

namespace qbv::artgen {

enum PaletteIndex : unsigned char {
    kBlackIndex = 0,
    kMaroonIndex,
    kGreenIndex,
    kOliveIndex,
    kNavyIndex,
    kPurpleIndex,
    kTealIndex,
    kSilverIndex,
    kGrayIndex,
    kRedIndex,
    kLimeIndex,
    kYellowIndex,
    kBlueIndex,
    kFuchsiaIndex,
    kAquaIndex,
    kWhiteIndex,
};

inline constexpr std::array<QRgb, 16> kPalette16 = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

inline QList<QRgb> palette16() {
    return QList<QRgb>(kPalette16.begin(), kPalette16.end());
}

} // namespace qbv::artgen
