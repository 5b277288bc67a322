#include "Routes.h"

#include <algorithm>
#include <cmath>

namespace qbv::artgen {

namespace {

// Works in a frame where the primary axis is y; swaps back for horizontal routes.
QPointF fromFrame(double primary, double across, bool verticalFirst) {
    return verticalFirst ? QPointF(across, primary) : QPointF(primary, across);
}

double sign(double value) {
    return value < 0 ? -1.0 : 1.0;
}

} // namespace

QPolygonF fanRoute(QPointF from, QPointF to, bool verticalFirst, double stub) {
    const double p0 = verticalFirst ? from.y() : from.x();
    const double a0 = verticalFirst ? from.x() : from.y();
    const double p1 = verticalFirst ? to.y() : to.x();
    const double a1 = verticalFirst ? to.x() : to.y();
    const double direction = sign(p1 - p0);
    const double room = std::max(0.0, std::abs(p1 - p0) - stub);
    const double diagonal = std::min(room, std::abs(a1 - a0));
    const double bendStart = p1 - direction * (stub + diagonal);
    QPolygonF route;
    route << from;
    route << fromFrame(bendStart, a0, verticalFirst);
    route << fromFrame(p1 - direction * stub, a1, verticalFirst);
    route << to;
    return route;
}

QPolygonF elbowRoute(QPointF from, QPointF to, bool verticalFirst, double chamfer) {
    const QPointF corner = verticalFirst ? QPointF(from.x(), to.y()) : QPointF(to.x(), from.y());
    const double cut = std::min({chamfer, std::abs(to.x() - from.x()), std::abs(to.y() - from.y())});
    const QPointF in =
        corner +
        (from - corner) * (cut / std::max(1e-9, std::hypot(from.x() - corner.x(), from.y() - corner.y())));
    const QPointF out =
        corner + (to - corner) * (cut / std::max(1e-9, std::hypot(to.x() - corner.x(), to.y() - corner.y())));
    QPolygonF route;
    route << from << in << out << to;
    return route;
}

} // namespace qbv::artgen
