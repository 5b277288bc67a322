#pragma once

// Where the parts of the board lie, shared by the steps that draw them and the copper that joins them.
// Parts that have a control over them are placed from the layout table; the rest fill the space around.

#include "resources/BoardLayout.h"

#include <QPointF>
#include <QRectF>

#include <array>
#include <vector>

namespace qbv::artgen::plan {

QRectF boardOutline();
std::array<QPointF, 4> mountingHoles();

// The LED package under LED button i, where the window draws the lit-LED picture.
QRectF ledPackage(int led);
// The resistor in series with each LED, above its label.
QPointF ledResistor(int led);

QRectF keySwitch(int key); // key k under szPainBox[k]

// A header pin's cell (the 23 x 23 square its button lies in, one pixel larger on every side).
QRectF pinCell(const layout::PinButton& pin);
// Blocks of pins that share one header housing, as rectangles of cells.
std::vector<QRectF> headerHousings();

QRectF maxIIBody();
inline constexpr int kMaxIILeadsPerSide = 36;
inline constexpr double kMaxIILeadLength = 13;
QRectF fpgaBody();
inline constexpr int kFpgaLeadsPerSide = 25;
inline constexpr double kFpgaLeadLength = 10;
// Where the leads of a quad package on one side (0 top, 1 right, 2 bottom, 3 left) end, lead i of n.
QPointF quadLeadTip(const QRectF& body, double leadLength, int leadsPerSide, int side, int lead);

QRectF connectorShell();
QRectF boxHeaderShroud();
QRectF oscillator();
QRectF usbBridge();          // the USB-to-JTAG chip between the connector and the FPGA
QRectF regulator(int index); // two SOT-223 regulators below the connector
QPointF bulkCapacitor();     // the electrolytic capacitor's centre
inline constexpr double kBulkCapacitorRadius = 17;

// A GPIO pin's centre by grid (false: A, true: B), column and row; the grid must hold a pin there.
QPointF pinCentre(bool gridB, int column, int row);

} // namespace qbv::artgen::plan
