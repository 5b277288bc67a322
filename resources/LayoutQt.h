#pragma once

// The layout table's rectangles and colours as Qt takes them, for the window, the virtual board's window
// and the artwork generator.

#include "common/Colours.h"
#include "resources/BoardLayout.h"

#include <QColor>
#include <QRect>

namespace qbv::layout {

inline QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

inline Rect toRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// A colour written 0xBBGGRR.
inline QColor toQColor(colour::Colour bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace qbv::layout
