#pragma once

// Trace shapes as a board designer routes them: straight runs joined by 45-degree bends.

#include <QPointF>
#include <QPolygonF>

namespace qbv::artgen {

// Runs along the primary axis, then bends 45 degrees to take up the offset across it, and ends with a
// straight stub of the given length into the target (where the leads of a package are).
QPolygonF fanRoute(QPointF from, QPointF to, bool verticalFirst, double stub);

// An L: along the primary axis, then across it, the corner cut at 45 degrees by the chamfer.
QPolygonF elbowRoute(QPointF from, QPointF to, bool verticalFirst, double chamfer);

} // namespace qbv::artgen
