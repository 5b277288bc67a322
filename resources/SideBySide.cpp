#include "resources/SideBySide.h"

#include <algorithm>
#include <cmath>

namespace qbv::layout {

SideBySide sideBySide(int areaLeft, int areaWidth, int boardWidth, int panelWidth) {
    const int least = static_cast<int>(std::ceil(boardWidth * kBoardLeastScale));
    const int width = std::clamp(areaWidth - panelWidth, least, boardWidth);
    const int spare = areaWidth - width - panelWidth;
    if (spare >= 0) {
        const int left = areaLeft + spare / 2;
        return {left, width, left + width};
    }
    // Too narrow for both: each at its own edge, the panel never left of the area.
    return {areaLeft, width, std::max(areaLeft, areaLeft + areaWidth - panelWidth)};
}

} // namespace qbv::layout
