#pragma once

// The board picture the window shows: a top view of the QB-vela with every LED, header pin, key, logo,
// connector and chip under the control that stands for it. Everything is placed from the layout table.

#include <QImage>

namespace qbv::artgen {

inline constexpr int kBoardPictureWidth = 775;
inline constexpr int kBoardPictureHeight = 514;

QImage boardPicture();

} // namespace qbv::artgen
