#include "BoardSteps.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qbv::artgen {

namespace {

// Smooth value noise: random values on a coarse lattice, blended with a smoothstep.
class ValueNoise {
public:
    ValueNoise(int width, int height, int cell, Rng& rng)
        : m_cell(cell), m_columns(width / cell + 2),
          m_values(static_cast<size_t>(m_columns * (height / cell + 2))) {
        for (double& value : m_values)
            value = rng.between(-1, 1);
    }

    double at(int x, int y) const {
        const int cx = x / m_cell;
        const int cy = y / m_cell;
        const double fx = smooth(static_cast<double>(x % m_cell) / m_cell);
        const double fy = smooth(static_cast<double>(y % m_cell) / m_cell);
        const double top = lerp(value(cx, cy), value(cx + 1, cy), fx);
        const double bottom = lerp(value(cx, cy + 1), value(cx + 1, cy + 1), fx);
        return lerp(top, bottom, fy);
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    static double lerp(double a, double b, double t) { return a + (b - a) * t; }
    double value(int cx, int cy) const { return m_values[static_cast<size_t>(cy * m_columns + cx)]; }

    int m_cell;
    int m_columns;
    std::vector<double> m_values;
};

int clampChannel(double value) {
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

} // namespace

void paintPhotoFinish(QImage& picture) {
    Rng rng(0xB0A2D);
    const ValueNoise mottle(picture.width(), picture.height(), 37, rng);
    const ValueNoise blotch(picture.width(), picture.height(), 113, rng);
    const double diagonal = std::hypot(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            // A lamp above the upper left: a little brighter there, falling off towards the lower right.
            const double light = 1.06 - 0.13 * std::hypot(x + 120, y + 80) / diagonal;
            const double gain = light + 0.025 * mottle.at(x, y) + 0.03 * blotch.at(x, y);
            const double grain = rng.between(-3, 3);
            const QRgb pixel = line[x];
            line[x] =
                qRgb(clampChannel(qRed(pixel) * gain + grain), clampChannel(qGreen(pixel) * gain + grain),
                     clampChannel(qBlue(pixel) * gain + grain));
        }
    }
}

} // namespace qbv::artgen
