#include "tests/app/WindowFixture.h"

#include "platform/Environment.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TStatusBar.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

namespace qbv::test {

WindowTest::WindowTest() {
    // No vendor tool chain unless a test installs one.
    platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
    fake.answerKeyReads(0x00);
    fake.script().delayUser = this;
    fake.script().delay = [](uint32_t milliseconds, void* user) {
        auto* self = static_cast<WindowTest*>(user);
        self->clock.advance(milliseconds);
        if (self->duringCall)
            self->duringCall();
    };
}

WindowTest::~WindowTest() {
    form.reset();
    QCoreApplication::processEvents();
}

void WindowTest::showWindow() {
    form = std::make_unique<TFormMain>();
    form->SetMessageBoxes(&ui);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void WindowTest::startUp() {
    showWindow();
    ASSERT_TRUE(waitUntil([this] { return form->HasJtagPort() || !form->IsBusy(); }));
    ASSERT_TRUE(waitUntil([this] { return !form->IsBusy() && !form->TimerBoot->Enabled(); }));
    QCoreApplication::processEvents();
}

bool WindowTest::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(2);
    }
    return true;
}

void WindowTest::clickAt(const QPoint& point) {
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
}

void WindowTest::clickOn(QWidget* widget) {
    clickAt(widget->geometry().center());
}

void WindowTest::moveMouseTo(const QPoint& point) {
    QTest::mouseMove(form->windowHandle(), point);
}

QString WindowTest::status() const {
    return form->StatusBar->panelText(0);
}
QString WindowTest::hint() const {
    return form->StatusBar->panelText(1);
}
QString WindowTest::progressText() const {
    return form->StatusBar->panelText(2);
}

TSpeedButton* WindowTest::led(int index) const {
    return form->IoButton(index);
}
TSpeedButton* WindowTest::pin(int index) const {
    return form->IoButton(TFormMain::kFirstGpioSlot + index);
}

int WindowTest::visibleIoButtons() const {
    int visible = 0;
    for (int slot = 0; slot < TFormMain::kFirstKeySlot; ++slot)
        visible += form->IoButton(slot) && form->IoButton(slot)->isVisible() ? 1 : 0;
    return visible;
}

QImage WindowTest::grabWindow() const {
    return form->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace qbv::test
