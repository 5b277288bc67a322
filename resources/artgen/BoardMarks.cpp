#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"
#include "PcbPainter.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QRadialGradient>

namespace qbv::artgen {

namespace {

// Text as a path fitted into a box, so a mark keeps its shape whatever the font's natural width.
QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box, double shear) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    path = QTransform().shear(shear, 0).map(path);
    const QRectF bounds = path.boundingRect();
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.left(), -bounds.top());
    return fit.map(path);
}

// The FPGA vendor's mark: a tile of three stacked, stepped bars beside the name in wide slanted capitals.
void paintVendorMark(QPainter& painter) {
    const QRectF area(componentRect(layout::SpeedButtonAltera));
    const QRectF tile(area.left() + 9, area.top() + 9, 39, 39);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSilk));
    painter.drawRoundedRect(tile, 7, 7);
    painter.setBrush(QColor(kMask));
    for (int bar = 0; bar < 3; ++bar) {
        const double y = tile.top() + 7 + bar * 9.5;
        painter.drawRoundedRect(QRectF(tile.left() + 6 + bar * 5, y, tile.width() - 12 - bar * 5, 6), 2, 2);
    }
    QFont font = silkFont(40, true);
    const QRectF textBox(tile.right() + 7, area.top() + 17, area.right() - tile.right() - 18, 23);
    painter.setBrush(QColor(kSilk));
    painter.drawPath(fittedText("ALTERA", font, textBox, -0.18));
    painter.drawRect(QRectF(textBox.left(), textBox.bottom() + 5, textBox.width() - 4, 2.5));
}

// The maker's mark: a sail over a wave beside the name, the web address below.
void paintMakerMark(QPainter& painter) {
    const QRectF area(componentRect(layout::SpeedButtonMarovan));
    QPainterPath sail;
    const QPointF foot(area.left() + 10, area.top() + 35);
    sail.moveTo(foot + QPointF(6, -28));
    sail.quadTo(foot + QPointF(20, -14), foot + QPointF(16, 0));
    sail.lineTo(foot + QPointF(6, 0));
    sail.closeSubpath();
    sail.moveTo(foot + QPointF(3, -20));
    sail.lineTo(foot + QPointF(3, 0));
    sail.lineTo(foot + QPointF(-5, 0));
    sail.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSilk));
    painter.drawPath(sail);
    painter.setPen(QPen(QColor(kSilk), 2, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(foot + QPointF(-6, 5));
    wave.cubicTo(foot + QPointF(10, 0), foot + QPointF(40, 10), QPointF(area.right() - 8, foot.y() + 3));
    painter.drawPath(wave);

    QFont script("Liberation Serif");
    script.setBold(true);
    script.setItalic(true);
    script.setPixelSize(24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSilk));
    painter.drawPath(fittedText("Marovan", script, QRectF(area.left() + 30, area.top() + 12, 64, 18), 0));
    drawSilkText(painter, QPointF(area.center().x(), area.bottom() - 11), "www.marovan.com", 10, true);
}

void paintMountingHoles(QPainter& painter) {
    for (const QPointF centre : plan::mountingHoles()) {
        painter.setPen(QPen(QColor(kSilk), 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 15, 15);
        drawVia(painter, centre, 11, 6.5, false);
        QRadialGradient depth(centre, 6.5);
        depth.setColorAt(0, QColor(kDesk));
        depth.setColorAt(1, QColor(0x05, 0x05, 0x05));
        painter.setPen(Qt::NoPen);
        painter.setBrush(depth);
        painter.drawEllipse(centre, 6.5, 6.5);
    }
}

void paintBoardName(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kSilk));
    painter.drawPath(fittedText("QB-vela", silkFont(60, true), QRectF(34, 360, 150, 30), 0));
    drawSilkText(painter, QPointF(109, 402), "FPGA DEVELOPMENT BOARD", 9);
    drawSilkText(painter, QPointF(109, 414), "REV 1.0", 8, false);
}

struct Label {
    double x;
    double y;
    const char* text;
};

void paintReferences(QPainter& painter) {
    const QRectF maxII = plan::maxIIBody();
    const QRectF fpga = plan::fpgaBody();
    const std::vector<Label> labels = {
        {fpga.center().x(), fpga.bottom() + 24, "U2"},
        {maxII.right() - 16, maxII.bottom() + 18, "U1"},
        {plan::usbBridge().center().x(), plan::usbBridge().top() - 12, "U3"},
        {plan::oscillator().right() + 14, plan::oscillator().top() + 4, "Y1"},
        {plan::regulator(0).right() + 12, plan::regulator(0).top() - 4, "U4"},
        {plan::regulator(1).right() + 12, plan::regulator(1).top() - 4, "U5"},
        {plan::bulkCapacitor().x() + 4, plan::bulkCapacitor().y() + 30, "C1"},
        {122, 96, "J1"},
        {226, 86, "J2"},
        {735, 115, "J3"},
        {40, 470, "J4"},
        {722, 286, "R9"},
        {748, 310, "C12"},
    };
    for (const Label& label : labels)
        drawSilkText(painter, QPointF(label.x, label.y), label.text, 8.5);
    drawSilkText(painter, QPointF(40, 484), "JTAG", 8.5);
    drawSilkText(painter, QPointF(232, 470), "EXT", 8.5);
}

} // namespace

void paintMarks(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintVendorMark(painter);
    paintMakerMark(painter);
    paintBoardName(painter);
    paintReferences(painter);
    paintMountingHoles(painter);
    painter.restore();
}

} // namespace qbv::artgen
