#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"
#include "PcbPainter.h"
#include "Rng.h"
#include "Routes.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include <vector>

namespace qbv::artgen {

namespace {

constexpr double kSignal = 2.4;
constexpr double kPower = 6;
constexpr double kClearance = 5;

struct Copper {
    std::vector<std::pair<QPolygonF, double>> traces;
    std::vector<QPointF> vias;

    void add(const QPolygonF& path, double width = kSignal) { traces.emplace_back(path, width); }
};

QPointF maxIITip(int side, int lead) {
    return plan::quadLeadTip(plan::maxIIBody(), plan::kMaxIILeadLength - 2, plan::kMaxIILeadsPerSide, side,
                             lead);
}

QPointF fpgaTip(int side, int lead) {
    return plan::quadLeadTip(plan::fpgaBody(), plan::kFpgaLeadLength - 2, plan::kFpgaLeadsPerSide, side,
                             lead);
}

// The MAX II's lead on one side lying closest to a position along that side.
int nearestMaxIILead(int side, double along) {
    int best = 0;
    for (int lead = 1; lead < plan::kMaxIILeadsPerSide; ++lead) {
        const QPointF tip = maxIITip(side, lead);
        const QPointF bestTip = maxIITip(side, best);
        const bool vertical = side == 0 || side == 2;
        if (std::abs((vertical ? tip.x() : tip.y()) - along) <
            std::abs((vertical ? bestTip.x() : bestTip.y()) - along))
            best = lead;
    }
    return best;
}

// The third header row runs straight down into the MAX II where the chip lies below it; the pins
// beyond its ends drop through vias to the other side of the board.
void routeHeaderRow(Copper& copper) {
    for (int column = 0; column < layout::kGridA.columns; ++column) {
        const QPointF pin = plan::pinCentre(false, column, 2);
        if (column >= 10 && column <= 16) {
            copper.add(fanRoute(pin, maxIITip(0, nearestMaxIILead(0, pin.x() + (column - 13) * 7)), true, 6));
        } else if (column <= 5 || column == 9 || column >= 17) {
            const QPointF via(pin.x() + (column % 2 == 0 ? -4 : 4), 97 + 9 * (column % 2));
            copper.add(elbowRoute(pin, via, true, 3));
            copper.vias.push_back(via);
        }
    }
}

// The stem of the first header leaves on its left and turns down into the FPGA's top leads.
void routeStem(Copper& copper) {
    const QRectF stem = plan::headerHousings()[4].united(plan::headerHousings()[5]);
    for (int i = 0; i < 8; ++i) {
        const QPointF from(stem.left() + 6, stem.top() + 8 + i * 11);
        copper.add(elbowRoute(from, fpgaTip(0, 10 + 2 * i), false, 8));
    }
}

void routeGridB(Copper& copper) {
    const QRectF housing = plan::headerHousings()[6];
    for (int i = 0; i < 10; ++i) {
        const QPointF from(housing.left() + 8, housing.top() + 11.5 + 11.5 * i);
        copper.add(fanRoute(from, maxIITip(1, nearestMaxIILead(1, from.y())), false, 4));
    }
}

void routeLeds(Copper& copper) {
    for (int led = 0; led < qbv::kLedCount; ++led) {
        const QRectF package = plan::ledPackage(led);
        const QPointF resistor = plan::ledResistor(led);
        copper.add(QPolygonF() << QPointF(package.center().x(), package.top() + 3) << resistor);
        const QPointF resistorTop = resistor - QPointF(0, 6);
        if (led <= 1)
            copper.add(elbowRoute(resistorTop, fpgaTip(1, 20 - 3 * led), true, 6));
        else if (led == 7)
            copper.add(fanRoute(resistorTop, maxIITip(1, 33), true, 4));
        else
            copper.add(fanRoute(resistorTop, maxIITip(2, nearestMaxIILead(2, resistor.x() + (4 - led) * 3)),
                                true, 5));
        const QPointF via(package.center().x() + 5, package.bottom() + 12);
        copper.add(QPolygonF() << QPointF(package.center().x(), package.bottom() - 3)
                               << QPointF(package.center().x(), package.bottom() + 7) << via);
        copper.vias.push_back(via);
    }
}

void routeKeys(Copper& copper) {
    for (int key = 0; key < layout::BUTTON_NUM; ++key) {
        const QRectF body = plan::keySwitch(key);
        const QPointF leg(body.right() + 3, body.top() + 8);
        const QPointF via(body.right() + 10, body.top() - 14);
        copper.add(elbowRoute(leg, via, false, 4));
        copper.vias.push_back(via);
    }
}

void routeUsb(Copper& copper) {
    const QRectF shell = plan::connectorShell();
    const QRectF bridge = plan::usbBridge();
    for (int i = 0; i < 4; ++i) {
        const QPointF from(shell.right() - 4, shell.top() + 24 + 10 * i);
        const QPointF to(bridge.left() - 6, bridge.top() + 8 + 5.5 * i);
        copper.add(elbowRoute(from, to, false, 6));
    }
    for (int i = 0; i < 7; ++i) {
        const QPointF from(bridge.right() + 6, bridge.top() + 8 + 7 * i);
        copper.add(fanRoute(from, fpgaTip(3, 3 + 3 * i), false, 4));
    }
}

void routePower(Copper& copper) {
    const QRectF shell = plan::connectorShell();
    const QRectF first = plan::regulator(0);
    const QRectF second = plan::regulator(1);
    copper.add(elbowRoute(QPointF(shell.left() + 20, shell.bottom() - 6),
                          QPointF(first.left() - 10, first.center().y()), true, 8),
               kPower);
    copper.add(QPolygonF() << QPointF(first.right() + 4, first.center().y())
                           << QPointF(first.right() + 24, first.center().y())
                           << QPointF(first.right() + 24, second.center().y() - 10),
               kPower);
    copper.add(elbowRoute(QPointF(second.right() + 4, second.center().y()), fpgaTip(3, 22), false, 10),
               kPower / 2);
}

// Where the ground pour stands back from the parts' pads, as rounded rectangles.
std::vector<QRectF> keepouts() {
    std::vector<QRectF> areas;
    for (const QRectF& housing : plan::headerHousings())
        areas.push_back(housing.adjusted(-3, -3, 3, 3));
    for (int led = 0; led < qbv::kLedCount; ++led) {
        areas.push_back(plan::ledPackage(led).adjusted(-4, -4, 4, 4));
        areas.push_back(QRectF(plan::ledResistor(led) - QPointF(7, 11), QSizeF(14, 22)));
    }
    for (int key = 0; key < layout::BUTTON_NUM; ++key)
        areas.push_back(plan::keySwitch(key).adjusted(-9, -3, 9, 3));
    const double maxIIReach = plan::kMaxIILeadLength + 4;
    const double fpgaReach = plan::kFpgaLeadLength + 4;
    areas.push_back(plan::maxIIBody().adjusted(-maxIIReach, -maxIIReach, maxIIReach, maxIIReach));
    areas.push_back(plan::fpgaBody().adjusted(-fpgaReach, -fpgaReach, fpgaReach, fpgaReach));
    areas.push_back(plan::boxHeaderShroud().adjusted(-6, -4, 6, 4));
    areas.push_back(plan::connectorShell().adjusted(-4, -10, 6, 10));
    areas.push_back(plan::usbBridge().adjusted(-12, -4, 12, 4));
    areas.push_back(plan::oscillator().adjusted(-8, -7, 8, 7));
    for (int index = 0; index < 2; ++index)
        areas.push_back(plan::regulator(index).adjusted(-4, -14, 4, 12));
    const double r = plan::kBulkCapacitorRadius + 6;
    areas.push_back(QRectF(plan::bulkCapacitor() - QPointF(r, r), QSizeF(2 * r, 2 * r)));
    for (const QPointF hole : plan::mountingHoles())
        areas.push_back(QRectF(hole - QPointF(17, 17), QSizeF(34, 34)));
    return areas;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length, 0.0, 1.0) : 0.0;
    const QPointF nearest = a + ab * t;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

bool clearOfCopper(QPointF point, const Copper& copper, const std::vector<QRectF>& areas) {
    for (const QRectF& area : areas) {
        if (area.adjusted(-5, -5, 5, 5).contains(point))
            return false;
    }
    for (const auto& [path, width] : copper.traces) {
        for (qsizetype i = 1; i < path.size(); ++i) {
            if (distanceToSegment(point, path[i - 1], path[i]) < width / 2 + kClearance + 4)
                return false;
        }
    }
    for (const QPointF& via : copper.vias) {
        if (std::hypot(point.x() - via.x(), point.y() - via.y()) < 12)
            return false;
    }
    return true;
}

// The ground pour covers the board but for a margin at the edge and the islands round the parts.
void paintPour(QPainter& painter, const std::vector<QRectF>& areas) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kMaskOverCopper));
    painter.drawRoundedRect(plan::boardOutline().adjusted(7, 7, -7, -7), 9, 9);
    painter.setBrush(QColor(kMask));
    for (const QRectF& area : areas)
        painter.drawRoundedRect(area, 4, 4);
}

// Stitching vias tie the pour to the ground plane below, wherever there is room for them.
void paintStitching(QPainter& painter, const Copper& copper, const std::vector<QRectF>& areas, Rng& rng) {
    const QRectF inside = plan::boardOutline().adjusted(16, 16, -16, -16);
    for (double y = inside.top(); y < inside.bottom(); y += 27) {
        for (double x = inside.left(); x < inside.right(); x += 27) {
            const QPointF via(x + rng.between(-3, 3), y + rng.between(-3, 3));
            if (clearOfCopper(via, copper, areas))
                drawVia(painter, via, 3.2, 1.2, true);
        }
    }
}

void paintTraces(QPainter& painter, const Copper& copper) {
    for (const auto& [path, width] : copper.traces) {
        painter.setPen(QPen(QColor(kMask), width + kClearance, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(path);
    }
    for (const auto& [path, width] : copper.traces) {
        painter.setPen(QPen(QColor(kMaskOverCopper), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(path);
    }
    for (const QPointF& via : copper.vias)
        drawVia(painter, via, 3.6, 1.4, false);
}

} // namespace

void paintCopper(QPainter& painter) {
    Rng rng(0x51B0A7D);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const std::vector<QRectF> areas = keepouts();
    paintPour(painter, areas);
    Copper copper;
    routeHeaderRow(copper);
    routeStem(copper);
    routeGridB(copper);
    routeLeds(copper);
    routeKeys(copper);
    routeUsb(copper);
    routePower(copper);
    paintTraces(painter, copper);
    paintStitching(painter, copper, areas, rng);
    painter.restore();
}

} // namespace qbv::artgen
