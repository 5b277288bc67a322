#include "app/Components.h"

#include "resources/LayoutQt.h"
#include "resources/SideBySide.h"
#include "widgets/TImage.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TTimer.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace layout = qbv::layout;
using layout::toQColor;
using layout::toQRect;

namespace components {

QFont layoutFont(int pixelHeight) {
    QFont font(QString::fromLatin1(layout::kFontFamily));
    font.setBold(true);
    font.setPixelSize(pixelHeight);
    font.setStyleHint(QFont::Serif);
    return font;
}

QWidget* placed(QWidget* widget, layout::ComponentId id) {
    const layout::Component& stored = layout::component(id);
    widget->setObjectName(QString::fromLatin1(stored.name));
    widget->setGeometry(toQRect(stored.rect));
    widget->setVisible(stored.visible);
    return widget;
}

TImage* createPicture(QWidget* parent, layout::ComponentId id, const char* resource, bool transparent) {
    auto* image = placed(new TImage(parent), id);
    image->setBitmap(QImage(QString::fromLatin1(resource)));
    image->setAutoSize(true);
    image->setTransparent(transparent);
    return image;
}

TSpeedButton* createSpeedButton(QWidget* parent, layout::ComponentId id) {
    const layout::Component& stored = layout::component(id);
    auto* button = placed(new TSpeedButton(parent), id);
    button->setText(QString::fromLatin1(stored.caption));
    button->setToolTip(QString::fromLatin1(stored.hint));
    if (stored.font.pixelHeight > 0) {
        button->setFont(layoutFont(stored.font.pixelHeight));
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, stored.font.windowTextColour
                                                   ? QApplication::palette().color(QPalette::WindowText)
                                                   : toQColor(stored.font.colour));
        button->setPalette(palette);
    }
    return button;
}

TTimer* createTimer(QObject* parent, layout::ComponentId id, int interval) {
    auto* timer = new TTimer(parent, interval);
    timer->setObjectName(QString::fromLatin1(layout::component(id).name));
    return timer;
}

void centreOnScreen(QWidget& window) {
    const QScreen* target = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    const QRect area = target->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    // The demo starts the virtual board beside the panel: both place their windows by the same rule, the
    // board's frame being the picture's one pixel wider than the panel's client area.
    if (qEnvironmentVariableIsSet("QBV_BESIDE_BOARD"))
        frame.moveLeft(
            layout::sideBySide(area.left(), area.width(), frame.width() + 1, frame.width()).panelLeft);
    window.move(frame.topLeft());
}

} // namespace components
