#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"
#include "PcbPainter.h"

#include <QLinearGradient>
#include <QRadialGradient>

namespace qbv::artgen {

namespace {

// An 0805 LED standing on end: tinned terminals at top and bottom, a milky lens with the die inside.
void paintLed(QPainter& painter, const QRectF& package) {
    drawShadow(painter, package, 1.5, 2.5);
    const double cap = 5;
    drawTinPad(painter, QRectF(package.left(), package.top(), package.width(), cap));
    drawTinPad(painter, QRectF(package.left(), package.bottom() - cap, package.width(), cap));
    const QRectF lens(package.left() + 0.5, package.top() + cap, package.width() - 1,
                      package.height() - 2 * cap);
    QLinearGradient milk(lens.topLeft(), lens.bottomRight());
    milk.setColorAt(0, QColor(0xF4, 0xF6, 0xEE));
    milk.setColorAt(1, QColor(0xC9, 0xD2, 0xC0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(milk);
    painter.drawRect(lens);
    const QPointF centre = lens.center();
    painter.setBrush(QColor(0x6B, 0x61, 0x4A));
    painter.drawRect(QRectF(centre.x() - 2, centre.y() - 2, 4, 4));
    painter.setPen(QPen(QColor(0x8C, 0x86, 0x70), 0.8));
    painter.drawLine(centre + QPointF(1, -2), QPointF(lens.right() - 3, lens.top() + 1));
    // Cathode mark: a green bar across the lower end of the lens.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3E, 0x9A, 0x4C));
    painter.drawRect(QRectF(lens.left() + 1, lens.bottom() - 3, lens.width() - 2, 2));
}

void paintLeds(QPainter& painter) {
    for (int led = 0; led < qbv::kLedCount; ++led) {
        const QRectF package = plan::ledPackage(led);
        drawSilkOutline(painter, package.adjusted(-3, -3, 3, 3), 1);
        paintLed(painter, package);
        drawPassive(painter, plan::ledResistor(led), true, Passive::Resistor, 14);
        drawSilkText(painter, QPointF(package.center().x(), package.top() - 12),
                     QString::fromStdString(qbv::ledLabel(qbv::ledAt(led))), 9, true, true);
    }
}

void paintLegs(QPainter& painter, const QRectF& body) {
    for (const double y : {body.top() + 5, body.bottom() - 11}) {
        drawGoldPad(painter, QRectF(body.left() - 5, y, 10, 6));
        drawGoldPad(painter, QRectF(body.right() - 5, y, 10, 6));
    }
}

// A tactile switch: a square metal frame crimped over a black base, a round plunger cap in the middle.
void paintKey(QPainter& painter, const QRectF& body) {
    paintLegs(painter, body);
    drawShadow(painter, body, 2, 4);
    QLinearGradient steel(body.topLeft(), body.bottomRight());
    steel.setColorAt(0, QColor(0xEE, 0xEF, 0xF0));
    steel.setColorAt(0.5, QColor(0xB4, 0xB8, 0xBC));
    steel.setColorAt(1, QColor(0x7A, 0x7F, 0x84));
    painter.setPen(QPen(QColor(0x55, 0x59, 0x5D), 1));
    painter.setBrush(steel);
    painter.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x8A, 0x8E, 0x92));
    for (const QPointF corner : {body.topLeft() + QPointF(5, 5), body.topRight() + QPointF(-5, 5),
                                 body.bottomLeft() + QPointF(5, -5), body.bottomRight() + QPointF(-5, -5)})
        painter.drawEllipse(corner, 2, 2);

    const QPointF centre = body.center();
    const double radius = body.width() * 0.31;
    painter.setBrush(QColor(0x0C, 0x0C, 0x0D));
    painter.drawEllipse(centre, radius + 2, radius + 2);
    QRadialGradient cap(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.3);
    cap.setColorAt(0, QColor(0x5C, 0x5F, 0x64));
    cap.setColorAt(0.6, QColor(0x26, 0x27, 0x2A));
    cap.setColorAt(1, QColor(0x12, 0x12, 0x14));
    painter.setBrush(cap);
    painter.drawEllipse(centre, radius, radius);
}

void paintKeys(QPainter& painter) {
    for (int key = 0; key < layout::BUTTON_NUM; ++key) {
        const QRectF body = plan::keySwitch(key);
        paintKey(painter, body);
        // Key k is printed BUTTON(k + 1); key 0 is the rightmost.
        drawSilkText(painter, QPointF(body.center().x(), body.bottom() + 10),
                     QString::fromStdString(qbv::keyLabel(key)), 9);
    }
}

} // namespace

void paintUserParts(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintLeds(painter);
    paintKeys(painter);
    painter.restore();
}

} // namespace qbv::artgen
