#include "BoardColours.h"
#include "BoardPlan.h"
#include "BoardSteps.h"

#include <QPainterPath>

namespace qbv::artgen {

namespace {

constexpr double kCornerRadius = 14;

} // namespace

void paintGlassWeave(QPainter& painter) {
    // The glass cloth inside FR-4 shows through the mask as a faint cross-hatch.
    const QRectF board = plan::boardOutline().adjusted(3, 3, -3, -3);
    QPainterPath inside;
    inside.addRoundedRect(board, kCornerRadius - 3, kCornerRadius - 3);
    painter.save();
    painter.setClipPath(inside);
    painter.setPen(QPen(QColor(0, 0, 0, 10), 2));
    for (double x = board.left(); x < board.right(); x += 6)
        painter.drawLine(QPointF(x, board.top()), QPointF(x, board.bottom()));
    painter.setPen(QPen(QColor(255, 255, 255, 5), 2));
    for (double y = board.top(); y < board.bottom(); y += 6)
        painter.drawLine(QPointF(board.left(), y), QPointF(board.right(), y));
    painter.restore();
}

void paintBoardBody(QPainter& painter) {
    painter.fillRect(QRect(0, 0, 775, 514), QColor(kDesk));
    const QRectF board = plan::boardOutline();
    QPainterPath outline;
    outline.addRoundedRect(board, kCornerRadius, kCornerRadius);
    painter.save();
    // The board lies on the desk and throws a shadow past its right and bottom edges.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 90));
    painter.drawPath(outline.translated(2, 2));
    painter.setBrush(QColor(kBoardEdge));
    painter.drawPath(outline);
    painter.setBrush(QColor(kMask));
    painter.drawRoundedRect(board.adjusted(1.5, 1.5, -1.5, -1.5), kCornerRadius - 1.5, kCornerRadius - 1.5);
    painter.restore();
}

} // namespace qbv::artgen
