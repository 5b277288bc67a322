#include "BoardPlan.h"

#include "PcbPainter.h"

namespace qbv::artgen::plan {

using namespace qbv::layout;

namespace {

QRectF centredIn(const QRect& area, double width, double height) {
    const QPointF centre = QRectF(area).center();
    return QRectF(centre.x() - width / 2, centre.y() - height / 2, width, height);
}

// The cells of grid A between two columns and rows, both inclusive.
QRectF cellBlock(const std::vector<PinButton>& pins, int columnFrom, int rowFrom, int columnTo, int rowTo,
                 bool gridB) {
    QRectF block;
    for (const PinButton& pin : pins) {
        const bool inGrid = gridB == (pin.pin >= 68);
        if (inGrid && pin.column >= columnFrom && pin.column <= columnTo && pin.row >= rowFrom &&
            pin.row <= rowTo)
            block = block.isNull() ? pinCell(pin) : block.united(pinCell(pin));
    }
    return block;
}

} // namespace

QRectF boardOutline() {
    return QRectF(2, 2, 770, 509);
}

std::array<QPointF, 4> mountingHoles() {
    // Bottom left sits above the box header, which reaches down almost to the edge.
    return {QPointF(26, 26), QPointF(747, 26), QPointF(26, 420), QPointF(747, 485)};
}

QRectF ledPackage(int led) {
    const Rect button = placedLedButtons()[static_cast<size_t>(led)];
    return QRectF(button.left + 7, button.top + 30, 16, 24);
}

QPointF ledResistor(int led) {
    return QPointF(ledPackage(led).center().x(), 326);
}

QRectF keySwitch(int key) {
    return QRectF(componentRect(szPainBox[static_cast<size_t>(key)]));
}

QRectF pinCell(const PinButton& pin) {
    return QRectF(toQRect(pin.rect)).adjusted(-1, -1, 1, 1);
}

std::vector<QRectF> headerHousings() {
    const std::vector<PinButton> pins = placedGpioButtons();
    return {
        cellBlock(pins, 0, 0, 4, 1, false),   cellBlock(pins, 6, 0, 13, 1, false),
        cellBlock(pins, 15, 0, 19, 1, false), cellBlock(pins, 0, 2, 19, 2, false),
        cellBlock(pins, 6, 3, 8, 4, false),   cellBlock(pins, 6, 5, 8, 6, false),
        cellBlock(pins, 0, 0, 1, 5, true),    cellBlock(pins, 2, 1, 3, 4, true),
    };
}

QRectF maxIIBody() {
    return centredIn(componentRect(SpeedButtonDownload), 136, 136);
}

QRectF fpgaBody() {
    return QRectF(232, 240, 96, 96);
}

QPointF quadLeadTip(const QRectF& body, double leadLength, int leadsPerSide, int side, int lead) {
    const double span = body.width() * 0.86;
    const double along = -span / 2 + span / leadsPerSide * (lead + 0.5);
    const double out = body.width() / 2 + leadLength;
    const QPointF c = body.center();
    switch (side) {
    case 0:
        return {c.x() + along, c.y() - out};
    case 1:
        return {c.x() + out, c.y() + along};
    case 2:
        return {c.x() + along, c.y() + out};
    default:
        return {c.x() - out, c.y() + along};
    }
}

QRectF connectorShell() {
    const QRect connect = componentRect(SpeedButtonConnect);
    return QRectF(connect.left(), connect.center().y() - 38, 86, 78);
}

QRectF boxHeaderShroud() {
    return centredIn(componentRect(SpeedButtonExit), 150, 52);
}

QRectF oscillator() {
    return QRectF(290, 384, 44, 32);
}

QRectF usbBridge() {
    return QRectF(150, 222, 26, 58);
}

QRectF regulator(int index) {
    return QRectF(22, 214 + 62.0 * index, 46, 26);
}

QPointF bulkCapacitor() {
    return QPointF(205, 400);
}

QPointF pinCentre(bool gridB, int column, int row) {
    for (const PinButton& pin : placedGpioButtons()) {
        if ((pin.pin >= 68) == gridB && pin.column == column && pin.row == row)
            return pinCell(pin).center();
    }
    return {};
}

} // namespace qbv::artgen::plan
