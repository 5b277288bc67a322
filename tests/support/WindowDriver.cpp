#include "tests/support/WindowDriver.h"

#include "tests/support/FakeJtag.h"

#include "common/Board.h"
#include "widgets/TImage.h"
#include "widgets/TPaintBox.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"

#include <QApplication>
#include <algorithm>
#include <array>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
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
    form = std::make_unique<TFormMain>(test::programFolder(), &ui);
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

bool WindowDriver::waitForRest(int timeoutMs) {
    return waitUntil([this] { return ui.opened == 0 && form->SpeedButtonExit->isVisible() && !hourglass(); },
                     timeoutMs);
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

QMenu* WindowDriver::openMenu() {
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
    QMenu* menu = nullptr;
    waitUntil([&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; });
    return menu;
}

void WindowDriver::pickFromMenu(int item) {
    QMenu* menu = openMenu();
    ASSERT_NE(menu, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                      menu->actionGeometry(menu->actions()[item]).center());
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

TPaintBox* WindowDriver::keyPaintBox(int key) const {
    const std::array<TPaintBox*, kKeyCount> boxes = {form->PaintBoxButton1, form->PaintBoxButton2,
                                                     form->PaintBoxButton3, form->PaintBoxButton4};
    return boxes.at(key);
}

TSpeedButton* WindowDriver::led(int index) const {
    return form->findChild<TSpeedButton*>(QStringLiteral("SpeedButtonLed%1").arg(index));
}
TSpeedButton* WindowDriver::pin(int index) const {
    return form->findChild<TSpeedButton*>(QStringLiteral("SpeedButtonPio%1").arg(index));
}

int WindowDriver::visibleIoButtons() const {
    int shown = 0;
    for (int led = 0; led < kLedCount; ++led)
        shown += this->led(led) && visible(this->led(led)) ? 1 : 0;
    for (int pin = 0; pin < kPinCount; ++pin)
        shown += this->pin(pin) && visible(this->pin(pin)) ? 1 : 0;
    return shown;
}

bool WindowDriver::hourglass() const {
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

std::string WindowDriver::textColour(int panel) const {
    const QImage shot = form->StatusBar->grab(form->StatusBar->panelRect(panel)).toImage();
    int counts[4] = {}; // red, green, blue, black
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            const int channels[3] = {pixel.red(), pixel.green(), pixel.blue()};
            if (std::max({channels[0], channels[1], channels[2]}) < 60) {
                ++counts[3];
                continue;
            }
            for (int c = 0; c < 3; ++c)
                if (channels[c] > 100 && channels[(c + 1) % 3] < 60 && channels[(c + 2) % 3] < 60)
                    ++counts[c];
        }
    static const char* const names[4] = {"red", "green", "blue", "black"};
    const int* most = std::max_element(std::begin(counts), std::end(counts));
    return *most == 0 ? "" : names[most - counts];
}

uint8_t WindowDriver::keysShown() const {
    const QImage window = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage board = form->ImageBoard->bitmap().convertToFormat(QImage::Format_RGB32);
    uint8_t keys = 0;
    for (int key = 0; key < kKeyCount; ++key) {
        const QRect box = keyPaintBox(key)->geometry();
        if (window.copy(box) != board.copy(box))
            keys |= static_cast<uint8_t>(1u << key);
    }
    return keys;
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
