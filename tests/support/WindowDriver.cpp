#include "tests/support/WindowDriver.h"

#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace qbv::test {

namespace {
// Wakes the message loop this often while a wait has nothing else to do.
constexpr int kWakeMs = 2;
} // namespace

WindowDriver::~WindowDriver() {
    form.reset();
    QCoreApplication::processEvents();
}

void WindowDriver::showWindow() {
    form = std::make_unique<TFormMain>();
    form->SetMessageBoxes(&ui);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

bool WindowDriver::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QTimer wake;
    wake.start(kWakeMs);
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > (timeoutMs > 0 ? timeoutMs : defaultWaitMs_))
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void WindowDriver::clickAt(const QPoint& point) {
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
}

void WindowDriver::clickOn(QWidget* widget) {
    clickAt(widget->geometry().center());
}

void WindowDriver::moveMouseTo(const QPoint& point) {
    QTest::mouseMove(form->windowHandle(), point);
}

QString WindowDriver::status() const {
    return form->StatusBar->panelText(0);
}
QString WindowDriver::hint() const {
    return form->StatusBar->panelText(1);
}
QString WindowDriver::progressText() const {
    return form->StatusBar->panelText(2);
}

TSpeedButton* WindowDriver::led(int index) const {
    return form->IoButton(index);
}
TSpeedButton* WindowDriver::pin(int index) const {
    return form->IoButton(TFormMain::kFirstGpioSlot + index);
}

int WindowDriver::visibleIoButtons() const {
    int shown = 0;
    for (int slot = 0; slot < TFormMain::kFirstKeySlot; ++slot)
        shown += form->IoButton(slot) && form->IoButton(slot)->isVisible() ? 1 : 0;
    return shown;
}

bool WindowDriver::visible(QWidget* widget) const {
    return widget->isVisibleTo(form.get());
}

std::string WindowDriver::mainButtons() const {
    return std::string(visible(form->SpeedButtonConnect) ? "C" : "-") +
           (visible(form->SpeedButtonDownload) ? "D" : "-") + (visible(form->SpeedButtonExit) ? "E" : "-");
}

QImage WindowDriver::shownRegion(const QRect& region) const {
    const QPixmap shown =
        form->screen()->grabWindow(form->winId(), region.x(), region.y(), region.width(), region.height());
    return shown.toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace qbv::test
