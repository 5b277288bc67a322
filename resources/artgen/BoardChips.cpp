#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"
#include "PcbPainter.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace qbv::artgen {

namespace {

void paintMaxII(QPainter& painter) {
    const QRectF body = plan::maxIIBody();
    drawQuadPackage(painter, {body, plan::kMaxIILeadsPerSide, plan::kMaxIILeadLength, {}, 0});
    // The marking keeps clear of the middle, where the window prints the button's caption.
    painter.setPen(QColor(kChipMarking));
    painter.setFont(silkFont(22, true));
    painter.drawText(QRectF(body.left(), body.top() + 12, body.width(), 30), Qt::AlignCenter, "MAX II");
    painter.setFont(silkFont(12, true));
    painter.drawText(QRectF(body.left(), body.bottom() - 44, body.width(), 16), Qt::AlignCenter,
                     "EPM2210GF324");
    painter.setFont(silkFont(9, false));
    painter.drawText(QRectF(body.left(), body.bottom() - 28, body.width(), 14), Qt::AlignCenter,
                     "C5N  K0923A");
}

void paintFpga(QPainter& painter) {
    drawQuadPackage(painter, {plan::fpgaBody(),
                              plan::kFpgaLeadsPerSide,
                              plan::kFpgaLeadLength,
                              {"FPGA", "QV-10K144", "C8  0917"},
                              10});
}

void paintOscillator(QPainter& painter) {
    const QRectF can = plan::oscillator();
    for (const QPointF corner : {can.topLeft(), can.topRight(), can.bottomLeft(), can.bottomRight()})
        drawGoldPad(painter, QRectF(corner.x() - 5, corner.y() - 4, 10, 8));
    drawShadow(painter, can, 3, 3);
    QLinearGradient steel(can.topLeft(), can.bottomRight());
    steel.setColorAt(0, QColor(0xE8, 0xEA, 0xEA));
    steel.setColorAt(1, QColor(0x8E, 0x93, 0x96));
    painter.setPen(QPen(QColor(0x6A, 0x6E, 0x71), 1));
    painter.setBrush(steel);
    painter.drawRoundedRect(can, 3, 3);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xF8, 0xF8, 0xF6, 140), 1));
    painter.drawRoundedRect(can.adjusted(3, 3, -3, -3), 2, 2);
    painter.setPen(QColor(0x3A, 0x3C, 0x3E));
    painter.setFont(silkFont(8, true));
    painter.drawText(can.adjusted(0, 3, 0, -12), Qt::AlignCenter, "50.000");
    painter.drawText(can.adjusted(0, 14, 0, 0), Qt::AlignCenter, "MHz");
}

void paintRegulator(QPainter& painter, const QRectF& body, const QString& marking) {
    drawTinPad(painter, QRectF(body.left() + 7, body.top() - 11, body.width() - 14, 12));
    for (int lead = 0; lead < 3; ++lead)
        drawTinPad(painter, QRectF(body.left() + 5 + lead * 15, body.bottom() - 1, 6, 10));
    drawDualPackage(painter, body, 0, false, marking);
}

// An SMD electrolytic capacitor: black base, aluminium can, the dark arc marking the negative side.
void paintBulkCapacitor(QPainter& painter) {
    const QPointF centre = plan::bulkCapacitor();
    const double r = plan::kBulkCapacitorRadius;
    QPainterPath base;
    base.addPolygon(QPolygonF() << centre + QPointF(-r - 2, -r + 6) << centre + QPointF(-r + 6, -r - 2)
                                << centre + QPointF(r + 2, -r - 2) << centre + QPointF(r + 2, r + 2)
                                << centre + QPointF(-r + 6, r + 2) << centre + QPointF(-r - 2, r - 6));
    base.closeSubpath();
    drawShadow(painter, base.boundingRect(), r, 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kPlastic));
    painter.drawPath(base);
    QRadialGradient can(centre - QPointF(r * 0.4, r * 0.4), r * 1.6);
    can.setColorAt(0, QColor(0xF4, 0xF5, 0xF6));
    can.setColorAt(1, QColor(0x84, 0x88, 0x8C));
    painter.setBrush(can);
    painter.drawEllipse(centre, r, r);
    painter.setBrush(QColor(0x1C, 0x2A, 0x4A));
    painter.drawChord(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 120 * 16, 120 * 16);
    painter.setPen(QPen(QColor(0x6E, 0x72, 0x76), 1.2));
    painter.drawLine(centre + QPointF(-r * 0.35, 0), centre + QPointF(r * 0.35, 0));
    painter.drawLine(centre + QPointF(0, -r * 0.35), centre + QPointF(0, r * 0.35));
}

void paintConnector(QPainter& painter) {
    const QRectF shell = plan::connectorShell();
    // Solder tabs of the shell, behind it.
    for (const double x : {shell.right() - 30, shell.right() - 14})
        for (const double y : {shell.top() - 7, shell.bottom() - 3})
            drawTinPad(painter, QRectF(x, y, 10, 10));
    drawShadow(painter, shell, 2, 5);
    QLinearGradient steel(shell.topLeft(), shell.bottomLeft());
    steel.setColorAt(0, QColor(0x7D, 0x82, 0x86));
    steel.setColorAt(0.18, QColor(0x56, 0x5A, 0x5E));
    steel.setColorAt(0.8, QColor(0x3C, 0x3F, 0x43));
    steel.setColorAt(1, QColor(0x2A, 0x2C, 0x2F));
    painter.setPen(QPen(QColor(0x1F, 0x21, 0x23), 1));
    painter.setBrush(steel);
    painter.drawRoundedRect(shell.adjusted(-4, 0, 0, 0), 3, 3);
    // Stamped ribs and the latch springs of the shell.
    painter.setPen(QPen(QColor(0x8C, 0x91, 0x95, 120), 1.5));
    for (const double y : {shell.top() + 10, shell.bottom() - 10})
        painter.drawLine(QPointF(shell.left() + 2, y), QPointF(shell.right() - 8, y));
    // The stamped top panel, and the folded back wall catching the light.
    painter.setPen(QPen(QColor(0x22, 0x24, 0x26), 1));
    painter.setBrush(QColor(0x4B, 0x4F, 0x53));
    painter.drawRoundedRect(
        QRectF(shell.left() + 30, shell.top() + 18, shell.width() - 44, shell.height() - 36), 3, 3);
    painter.setPen(QPen(QColor(0xA8, 0xAD, 0xB1), 2));
    painter.drawLine(QPointF(shell.right() - 2, shell.top() + 3),
                     QPointF(shell.right() - 2, shell.bottom() - 3));
    // Latch springs: a slot with a bent tongue in it.
    for (const double y : {shell.top() + 18, shell.bottom() - 28}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1A, 0x1B, 0x1D));
        painter.drawRoundedRect(QRectF(shell.left() + 6, y, 18, 10), 2, 2);
        painter.setBrush(QColor(0x70, 0x75, 0x79));
        painter.drawRoundedRect(QRectF(shell.left() + 9, y + 3, 11, 4), 1.5, 1.5);
    }
}

void paintUsbBridge(QPainter& painter) {
    drawDualPackage(painter, plan::usbBridge(), 10, true, "");
    painter.save();
    painter.translate(plan::usbBridge().center());
    painter.rotate(-90);
    painter.setPen(QColor(kChipMarking));
    painter.setFont(silkFont(7, true));
    painter.drawText(QRectF(-28, -10, 56, 20), Qt::AlignCenter, "UBJ-232\nQ0911");
    painter.restore();
}

struct PassivePlacement {
    double x;
    double y;
    bool vertical;
    Passive kind;
};

void paintPassives(QPainter& painter) {
    const QRectF maxII = plan::maxIIBody();
    const QRectF fpga = plan::fpgaBody();
    const double m = maxII.width() / 2 + 13;
    const double f = fpga.width() / 2 + 13;
    const QPointF a = maxII.center();
    const QPointF b = fpga.center();
    const std::vector<PassivePlacement> parts = {
        {a.x() - m, a.y() - m, false, Passive::Capacitor},
        {a.x() + m, a.y() - m, false, Passive::Capacitor},
        {a.x() - m, a.y() + m, false, Passive::Capacitor},
        {a.x() + m, a.y() + m, false, Passive::Capacitor},
        {b.x() - f, b.y() - f, true, Passive::Capacitor},
        {b.x() + f, b.y() - f, true, Passive::Capacitor},
        {b.x() - f, b.y() + f, true, Passive::Capacitor},
        {b.x() + f, b.y() + f, true, Passive::Capacitor},
        {136, 300, true, Passive::Resistor},
        {190, 300, true, Passive::Resistor},
        {112, 152, true, Passive::Capacitor},
        {112, 176, true, Passive::Resistor},
        {86, 254, true, Passive::Capacitor},
        {30, 330, false, Passive::Capacitor},
        {350, 430, true, Passive::Capacitor},
        {276, 430, true, Passive::Capacitor},
        {718, 300, false, Passive::Resistor},
        {718, 322, false, Passive::Resistor},
        {718, 344, false, Passive::Capacitor},
        {748, 330, true, Passive::Capacitor},
    };
    for (const PassivePlacement& part : parts)
        drawPassive(painter, QPointF(part.x, part.y), part.vertical, part.kind, 14);
}

} // namespace

void paintSilkscreen(QPainter& painter) {
    const double maxIIReach = plan::kMaxIILeadLength + 3;
    const double fpgaReach = plan::kFpgaLeadLength + 3;
    drawSilkCorners(painter, plan::maxIIBody().adjusted(-maxIIReach, -maxIIReach, maxIIReach, maxIIReach),
                    10);
    drawSilkCorners(painter, plan::fpgaBody().adjusted(-fpgaReach, -fpgaReach, fpgaReach, fpgaReach), 8);
    for (const QPointF fiducial : {QPointF(58, 72), QPointF(716, 78), QPointF(366, 496)})
        drawFiducial(painter, fiducial);
    drawSilkText(painter, QPointF(148, 140), "USB", 8.5);
    // Test points for the supply rails, down the right edge.
    for (int point = 0; point < 3; ++point) {
        const QPointF centre(750, 392 + 26 * point);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x0B, 0x3C, 0x24));
        painter.drawEllipse(centre, 6.5, 6.5);
        drawVia(painter, centre, 4.5, 1.2, false);
        drawSilkText(painter, centre - QPointF(22, 0), QString("TP%1").arg(point + 1), 8.5);
    }
}

void paintChips(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintSilkscreen(painter);
    paintPassives(painter);
    paintMaxII(painter);
    paintFpga(painter);
    paintOscillator(painter);
    paintRegulator(painter, plan::regulator(0), "1117 3.3");
    paintRegulator(painter, plan::regulator(1), "1117 1.2");
    paintBulkCapacitor(painter);
    paintUsbBridge(painter);
    paintConnector(painter);
    painter.restore();
}

} // namespace qbv::artgen
