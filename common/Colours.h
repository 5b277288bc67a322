#pragma once

#include <cstdint>

// Colours as the program writes them: 0xBBGGRR. Blue while work is under way, green on success, red on
// failure; aqua for the button outlines and captions.
namespace qbv::colour {

using Colour = uint32_t;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kGreen = 0x008000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kAqua = 0xFFFF00;
constexpr Colour kYellow = 0x00FFFF;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

} // namespace qbv::colour
