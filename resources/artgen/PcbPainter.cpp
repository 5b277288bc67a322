#include "PcbPainter.h"

#include "BoardColours.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace qbv::artgen {

QRect componentRect(layout::ComponentId id) {
    return toQRect(layout::component(id).rect);
}

QFont silkFont(double pixelSize, bool bold, bool narrow) {
    QFont font(narrow ? "Liberation Sans Narrow" : "Liberation Sans");
    font.setPixelSize(std::max(1, static_cast<int>(pixelSize + 0.5)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void drawSilkText(QPainter& painter, QPointF centre, const QString& text, double pixelSize, bool bold,
                  bool narrow) {
    painter.save();
    painter.setFont(silkFont(pixelSize, bold, narrow));
    painter.setPen(QColor(kSilk));
    const QRectF box(centre.x() - 200, centre.y() - pixelSize, 400, 2 * pixelSize);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

void drawSilkOutline(QPainter& painter, const QRectF& rect, double radius) {
    painter.save();
    painter.setPen(QPen(QColor(kSilk), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void drawSilkCorners(QPainter& painter, const QRectF& rect, double length) {
    painter.save();
    painter.setPen(QPen(QColor(kSilk), 1.4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF corners[4] = {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()};
    for (int i = 0; i < 4; ++i) {
        const QPointF corner = corners[i];
        const QPointF towardsNext = corners[(i + 1) % 4] - corner;
        const QPointF towardsPrevious = corners[(i + 3) % 4] - corner;
        const auto unit = [](QPointF v) { return v / std::max(1e-9, std::hypot(v.x(), v.y())); };
        painter.drawPolyline(QPolygonF() << corner + unit(towardsPrevious) * length << corner
                                         << corner + unit(towardsNext) * length);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSilk));
    painter.drawEllipse(rect.topLeft() - QPointF(4, 4), 1.8, 1.8);
    painter.restore();
}

void drawFiducial(QPainter& painter, QPointF centre) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0B, 0x3C, 0x24));
    painter.drawEllipse(centre, 7, 7);
    QRadialGradient gold(centre - QPointF(1, 1), 4);
    gold.setColorAt(0, QColor(kGoldLight));
    gold.setColorAt(1, QColor(kGold));
    painter.setBrush(gold);
    painter.drawEllipse(centre, 3, 3);
    painter.restore();
}

void drawShadow(QPainter& painter, const QRectF& rect, double radius, double height) {
    painter.save();
    painter.setPen(Qt::NoPen);
    // Several widening layers of faint black make a soft edge without a blur filter.
    constexpr int kLayers = 5;
    for (int i = kLayers; i >= 1; --i) {
        const double grow = i * height / kLayers;
        painter.setBrush(QColor(0, 0, 0, 34));
        painter.drawRoundedRect(
            rect.translated(height * 0.6, height * 0.8).adjusted(-grow, -grow, grow, grow), radius + grow,
            radius + grow);
    }
    painter.restore();
}

void drawGoldPad(QPainter& painter, const QRectF& rect, double radius) {
    painter.save();
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    gradient.setColorAt(0, QColor(kGoldLight));
    gradient.setColorAt(0.45, QColor(kGold));
    gradient.setColorAt(1, QColor(kGoldDark));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void drawTinPad(QPainter& painter, const QRectF& rect) {
    painter.save();
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    gradient.setColorAt(0, QColor(0xF2, 0xF3, 0xF1));
    gradient.setColorAt(0.5, QColor(kTin));
    gradient.setColorAt(1, QColor(kTinDark));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(rect, 0.8, 0.8);
    painter.restore();
}

void drawVia(QPainter& painter, QPointF centre, double ringRadius, double holeRadius, bool tented) {
    painter.save();
    painter.setPen(Qt::NoPen);
    if (tented) {
        // Mask over the ring: only a faint bump with a dimple shows.
        painter.setBrush(QColor(0x2A, 0x80, 0x50));
        painter.drawEllipse(centre, ringRadius, ringRadius);
        painter.setBrush(QColor(0x0A, 0x33, 0x1F));
        painter.drawEllipse(centre, holeRadius, holeRadius);
    } else {
        QRadialGradient ring(centre - QPointF(ringRadius / 3, ringRadius / 3), ringRadius * 1.4);
        ring.setColorAt(0, QColor(kGoldLight));
        ring.setColorAt(1, QColor(kGoldDark));
        painter.setBrush(ring);
        painter.drawEllipse(centre, ringRadius, ringRadius);
        painter.setBrush(QColor(0x08, 0x0A, 0x09));
        painter.drawEllipse(centre, holeRadius, holeRadius);
    }
    painter.restore();
}

void drawPassive(QPainter& painter, QPointF centre, bool vertical, Passive kind, double length) {
    const double width = length / 2;
    const double cap = length * 0.22;
    painter.save();
    painter.translate(centre);
    if (vertical)
        painter.rotate(90);
    const QRectF body(-length / 2, -width / 2, length, width);
    drawShadow(painter, body, 1, 1.5);
    drawTinPad(painter, QRectF(body.left(), body.top(), cap, width));
    drawTinPad(painter, QRectF(body.right() - cap, body.top(), cap, width));
    const QRectF middle(body.left() + cap, body.top(), length - 2 * cap, width);
    QLinearGradient shade(middle.topLeft(), middle.bottomLeft());
    if (kind == Passive::Resistor) {
        shade.setColorAt(0, QColor(0x3A, 0x3A, 0x3A));
        shade.setColorAt(1, QColor(0x12, 0x12, 0x12));
    } else {
        shade.setColorAt(0, QColor(0xC8, 0x9A, 0x6A));
        shade.setColorAt(1, QColor(0x8A, 0x62, 0x3C));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRect(middle);
    painter.restore();
}

namespace {

void drawLeadRow(QPainter& painter, const QRectF& body, int count, double length, double span) {
    if (count <= 0)
        return;
    const double pitch = span / count;
    const double leadWidth = pitch * 0.5;
    const double first = body.center().x() - span / 2 + pitch / 2;
    for (int i = 0; i < count; ++i) {
        const double x = first + i * pitch - leadWidth / 2;
        drawTinPad(painter, QRectF(x, body.top() - length, leadWidth, length + 1));
    }
}

void drawPackageBody(QPainter& painter, const QRectF& body) {
    drawShadow(painter, body, 1.5, 3);
    QLinearGradient face(body.topLeft(), body.bottomRight());
    face.setColorAt(0, QColor(0x34, 0x35, 0x38));
    face.setColorAt(1, QColor(kChipBody));
    painter.setPen(QPen(QColor(0x0D, 0x0D, 0x0E), 1));
    painter.setBrush(face);
    painter.drawRect(body);
    // The moulded top is a little smaller than the foot of the body.
    painter.setPen(QPen(QColor(0x45, 0x47, 0x4A), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(body.adjusted(2.5, 2.5, -2.5, -2.5));
}

void drawMarking(QPainter& painter, const QRectF& area, const QStringList& lines, double size) {
    painter.setPen(QColor(kChipMarking));
    painter.setFont(silkFont(size, true));
    const double lineHeight = size * 1.25;
    double y = area.center().y() - lineHeight * lines.size() / 2;
    for (const QString& line : lines) {
        painter.drawText(QRectF(area.left(), y, area.width(), lineHeight), Qt::AlignCenter, line);
        y += lineHeight;
    }
}

} // namespace

void drawQuadPackage(QPainter& painter, const QuadPackage& package) {
    const QRectF& body = package.body;
    painter.save();
    for (int side = 0; side < 4; ++side) {
        // Rotate the top row of leads into each side in turn.
        painter.save();
        painter.translate(body.center());
        painter.rotate(90.0 * side);
        painter.translate(-body.center());
        drawLeadRow(painter, body, package.leadsPerSide, package.leadLength, body.width() * 0.86);
        painter.restore();
    }
    drawPackageBody(painter, body);
    const double dot = std::max(2.0, body.width() * 0.035);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x12, 0x12, 0x13));
    painter.drawEllipse(body.topLeft() + QPointF(dot * 3, dot * 3), dot, dot);
    drawMarking(painter, body, package.marking, package.markingSize);
    painter.restore();
}

void drawDualPackage(QPainter& painter, const QRectF& body, int leadsPerSide, bool vertical,
                     const QString& marking) {
    painter.save();
    const double lead = std::min(body.width(), body.height()) * 0.28;
    for (int side = 0; side < 2; ++side) {
        painter.save();
        painter.translate(body.center());
        painter.rotate((vertical ? 90 : 0) + 180.0 * side);
        // Leads run along the package's long sides: turn a vertical body so they come out on top.
        const QRectF turned = vertical
                                  ? QRectF(-body.height() / 2, -body.width() / 2, body.height(), body.width())
                                  : body.translated(-body.center());
        drawLeadRow(painter, turned, leadsPerSide, lead, turned.width() * 0.9);
        painter.restore();
    }
    drawPackageBody(painter, body);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x12, 0x12, 0x13));
    painter.drawEllipse(body.topLeft() + QPointF(4, 4), 1.6, 1.6);
    drawMarking(painter, body, {marking}, std::min(body.width(), body.height()) * 0.28);
    painter.restore();
}

} // namespace qbv::artgen
