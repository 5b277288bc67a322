#pragma once

#include "resources/BoardLayout.h"

#include <QFont>

class QObject;
class QWidget;
class TImage;
class TSpeedButton;
class TTimer;

// The window's components made as the layout table stores them: their names, places, visibility,
// captions, hints, fonts and pictures.
namespace components {

// The window's typeface, bold, at a height in pixels.
QFont layoutFont(int pixelHeight);

// A component named and placed as stored, shown or hidden as stored.
QWidget* placed(QWidget* widget, qbv::layout::ComponentId id);
template <typename T> T* placed(T* widget, qbv::layout::ComponentId id) {
    placed(static_cast<QWidget*>(widget), id);
    return widget;
}

TImage* createPicture(QWidget* parent, qbv::layout::ComponentId id, const char* resource, bool transparent);
TSpeedButton* createSpeedButton(QWidget* parent, qbv::layout::ComponentId id);
TTimer* createTimer(QObject* parent, qbv::layout::ComponentId id, int interval);

// The window in the middle of its screen, or, started by the demo beside the virtual board, where the rule
// the two share places it.
void centreOnScreen(QWidget& window);

} // namespace components
