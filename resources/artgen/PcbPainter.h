#pragma once

// Drawing steps shared by every part of the board picture: pads, passives, packages, silkscreen and the
// soft shadows that make parts stand on the board.

#include "resources/LayoutQt.h"

#include <QPainter>
#include <QRect>
#include <QString>

namespace qbv::artgen {

using layout::toQRect;
QRect componentRect(layout::ComponentId id);

QFont silkFont(double pixelSize, bool bold = true, bool narrow = false);

// Silkscreen text centred on a point.
void drawSilkText(QPainter& painter, QPointF centre, const QString& text, double pixelSize, bool bold = true,
                  bool narrow = false);

// Silkscreen corner marks around a package, the first corner (pin one) closed with a dot.
void drawSilkCorners(QPainter& painter, const QRectF& rect, double length);

// A fiducial for the pick-and-place camera: a bare gold dot in a clear ring.
void drawFiducial(QPainter& painter, QPointF centre);

// A silkscreen outline (thin white line, no fill).
void drawSilkOutline(QPainter& painter, const QRectF& rect, double radius = 0);

// A soft shadow below a part standing on the board, thrown towards the bottom right.
void drawShadow(QPainter& painter, const QRectF& rect, double radius = 2, double height = 3);

void drawGoldPad(QPainter& painter, const QRectF& rect, double radius = 0.6);
void drawTinPad(QPainter& painter, const QRectF& rect);

// A plated through hole or via: copper ring and its dark hole.
void drawVia(QPainter& painter, QPointF centre, double ringRadius, double holeRadius, bool tented);

// An 0603 or 0805 resistor or capacitor centred on a point, lying horizontally or vertically.
enum class Passive { Resistor, Capacitor };
void drawPassive(QPainter& painter, QPointF centre, bool vertical, Passive kind, double length = 15);

// A quad flat package: body, leads on all four sides, pin-one mark and the marking lines.
struct QuadPackage {
    QRectF body;
    int leadsPerSide;
    double leadLength;
    QStringList marking;
    double markingSize;
};
void drawQuadPackage(QPainter& painter, const QuadPackage& package);

// A small-outline package with leads on its left and right sides (or top and bottom when vertical).
void drawDualPackage(QPainter& painter, const QRectF& body, int leadsPerSide, bool vertical,
                     const QString& marking);

} // namespace qbv::artgen
