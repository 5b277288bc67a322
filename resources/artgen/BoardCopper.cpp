#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"
#include "PcbPainter.h"
#include "Rng.h"
#include "Routes.h"

#include <QPainterPath>

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
    for (int led = 0; led < layout::kLedCount; ++led) {
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

std::vector<QRectF> pours() {
    return {QRectF(10, 196, 206, 236), QRectF(370, 420, 330, 84), QRectF(700, 272, 64, 232),
            QRectF(236, 352, 136, 152)};
}

void paintPours(QPainter& painter, Rng& rng) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kMaskOverCopper));
    for (const QRectF& pour : pours())
        painter.drawRoundedRect(pour, 6, 6);
    // Stitching vias tie the pours to the ground plane below.
    for (const QRectF& pour : pours()) {
        for (double y = pour.top() + 10; y < pour.bottom() - 6; y += 26) {
            for (double x = pour.left() + 10; x < pour.right() - 6; x += 26)
                drawVia(painter, QPointF(x + rng.between(-2, 2), y + rng.between(-2, 2)), 3.2, 1.2, true);
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
    paintPours(painter, rng);
    Copper copper;
    routeHeaderRow(copper);
    routeStem(copper);
    routeGridB(copper);
    routeLeds(copper);
    routeKeys(copper);
    routeUsb(copper);
    routePower(copper);
    paintTraces(painter, copper);
    painter.restore();
}

} // namespace qbv::artgen
