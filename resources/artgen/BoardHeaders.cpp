#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"
#include "PcbPainter.h"

#include <QLinearGradient>

namespace qbv::artgen {

namespace {

constexpr double kCell = 23;

void paintHousing(QPainter& painter, const QRectF& housing) {
    drawShadow(painter, housing, 2, 4);
    QLinearGradient face(housing.topLeft(), housing.bottomLeft());
    face.setColorAt(0, QColor(kPlasticLight));
    face.setColorAt(0.08, QColor(kPlastic));
    face.setColorAt(1, QColor(0x0E, 0x0F, 0x10));
    painter.setPen(QPen(QColor(0x07, 0x07, 0x08), 1));
    painter.setBrush(face);
    painter.drawRoundedRect(housing.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    // The moulding is notched between neighbouring pins.
    painter.setPen(QPen(QColor(0x06, 0x06, 0x07), 1.2));
    for (double x = housing.left() + kCell; x < housing.right() - 2; x += kCell) {
        painter.drawLine(QPointF(x, housing.top() + 1), QPointF(x, housing.top() + 4));
        painter.drawLine(QPointF(x, housing.bottom() - 4), QPointF(x, housing.bottom() - 1));
    }
}

// A square gold post seen from above: its bevelled tip catches the light on the upper left.
void paintPin(QPainter& painter, QPointF centre, double size) {
    const QRectF socket(centre.x() - size / 2 - 2, centre.y() - size / 2 - 2, size + 4, size + 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2B, 0x2C, 0x2F));
    painter.drawRoundedRect(socket, 1.5, 1.5);
    const QRectF post(centre.x() - size / 2, centre.y() - size / 2, size, size);
    drawGoldPad(painter, post, 0.8);
    const QRectF tip = post.adjusted(size * 0.28, size * 0.28, -size * 0.28, -size * 0.28);
    painter.setBrush(QColor(kGoldLight));
    painter.drawRect(tip);
    painter.setPen(QPen(QColor(255, 255, 240, 160), 1));
    painter.drawLine(post.topLeft() + QPointF(1, 1), tip.topLeft());
}

void paintGpioHeaders(QPainter& painter) {
    for (const QRectF& housing : plan::headerHousings())
        paintHousing(painter, housing);
    for (const layout::PinButton& pin : layout::placedGpioButtons())
        paintPin(painter, plan::pinCell(pin).center(), 8);
}

void paintBoxHeader(QPainter& painter) {
    const QRectF shroud = plan::boxHeaderShroud();
    drawSilkOutline(painter, shroud.adjusted(-4, -1, 4, 1), 1);
    drawShadow(painter, shroud, 2, 5);
    QLinearGradient face(shroud.topLeft(), shroud.bottomLeft());
    face.setColorAt(0, QColor(0x45, 0x47, 0x4B));
    face.setColorAt(0.15, QColor(kPlastic));
    face.setColorAt(1, QColor(0x10, 0x10, 0x11));
    painter.setPen(QPen(QColor(0x05, 0x05, 0x06), 1));
    painter.setBrush(face);
    painter.drawRoundedRect(shroud, 2.5, 2.5);

    const QRectF cavity = shroud.adjusted(9, 8, -9, -8);
    painter.setBrush(QColor(0x08, 0x08, 0x09));
    painter.setPen(QPen(QColor(0x30, 0x31, 0x34), 1));
    painter.drawRect(cavity);
    // The polarising key: a gap in the wall nearest the board's edge.
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(cavity.center().x() - 12, cavity.bottom(), 24, 8));

    constexpr double kPitch = 21;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 5; ++column) {
            const QPointF centre(cavity.center().x() + (column - 2) * kPitch,
                                 cavity.center().y() + (row - 0.5) * 18);
            paintPin(painter, centre, 6);
        }
    }
    drawSilkText(painter, QPointF(shroud.left() - 12, shroud.bottom() - 8), "1", 9);
}

} // namespace

void paintHeaders(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintGpioHeaders(painter);
    paintBoxHeader(painter);
    painter.restore();
}

} // namespace qbv::artgen
