#pragma once

// The steps that draw the board picture, bottom layer first. Each draws one kind of thing, placed from
// the layout table or from BoardPlan.

#include <QImage>
#include <QPainter>

namespace qbv::artgen {

void paintBoardBody(QPainter& painter);  // desk, board outline, edge, solder mask
void paintCopper(QPainter& painter);     // pours, traces and vias under the mask
void paintGlassWeave(QPainter& painter); // the glass cloth of the laminate, faint through the mask
void paintHeaders(QPainter& painter);    // GPIO pin headers and the box header
void paintUserParts(QPainter& painter);  // the eight LEDs and four keys with their labels
void paintChips(QPainter& painter);      // MAX II, FPGA, clock, regulators, connector, passives
void paintMarks(QPainter& painter);      // logos, silkscreen texts, mounting holes
void paintPhotoFinish(QImage& picture);  // light fall-off, mask mottling and sensor grain

} // namespace qbv::artgen
