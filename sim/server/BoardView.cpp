#include "BoardView.h"

#include "BoardService.h"

#include "resources/LayoutQt.h"

#include <QMouseEvent>
#include <QPainter>

using qbv::layout::toQRect;

namespace {

// Where the overlays lie inside an LED's and a pin's button.
const QPoint kLedOverlayOffset(7, 30);
const QPoint kPinOverlayOffset(3, 3);

QPoint topLeft(const qbv::layout::Rect& r) {
    return QPoint(r.left, r.top);
}
} // namespace

BoardView::BoardView(BoardService& service, QWidget* parent)
    : QWidget(parent), service_(service), artwork_(BoardArtwork::load()) {
    setFixedSize(artwork_.board.size());
    connect(&service_, &BoardService::changed, this, qOverload<>(&QWidget::update));
}

int BoardView::keyAt(const QPoint& point) {
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key)
        if (toQRect(qbv::layout::component(qbv::layout::szPainBox[key]).rect).contains(point))
            return key;
    return -1;
}

void BoardView::setScale(double scale) {
    scale_ = scale;
    setFixedSize((QSizeF(artwork_.board.size()) * scale).toSize());
    update();
}

void BoardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (scale_ != 1) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.scale(scale_, scale_);
    }
    painter.drawPixmap(0, 0, artwork_.board);
    const qbv::sim::VirtualBoard& board = service_.host().board();
    const auto leds = qbv::layout::placedLedButtons();
    for (int led = 0; led < qbv::kLedCount; ++led)
        if (board.ledLit(led))
            painter.drawPixmap(topLeft(leds[led]) + kLedOverlayOffset, artwork_.ledOn);
    for (const qbv::layout::PinButton& pin : qbv::layout::placedGpioButtons())
        if (board.pinActive(pin.pin))
            painter.drawPixmap(topLeft(pin.rect) + kPinOverlayOffset, artwork_.pinOn);
    for (int key = 0; key < qbv::layout::BUTTON_NUM; ++key)
        if ((board.keys() >> key) & 1u)
            painter.drawPixmap(topLeft(qbv::layout::component(qbv::layout::szPainBox[key]).rect),
                               artwork_.pressed);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
    const int key = keyAt((event->position() / scale_).toPoint());
    if (event->button() != Qt::LeftButton || key < 0)
        return QWidget::mousePressEvent(event);
    heldKey_ = key;
    service_.setKey(key, true);
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || heldKey_ < 0)
        return QWidget::mouseReleaseEvent(event);
    service_.setKey(heldKey_, false);
    heldKey_ = -1;
}
