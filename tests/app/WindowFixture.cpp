#include "tests/app/WindowFixture.h"

#include "platform/Environment.h"
#include "tests/programming/ProgrammerTesting.h"
#include "widgets/TTimer.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace qbv::test {

namespace {

// Under Wine each shard of the suite has a registry of its own, copied from the one the other suites
// register tool chains in as they run: it starts with none registered, as every case does.
class NoToolChainRegistered : public ::testing::Environment {
    void SetUp() override { forgetInstall(); }
};
[[maybe_unused]] const auto* const kNoToolChainRegistered =
    ::testing::AddGlobalTestEnvironment(new NoToolChainRegistered);

} // namespace

WindowTest::WindowTest() {
    // No vendor tool chain unless a test installs one.
    platform::setEnvironmentVariable("QUARTUS_ROOTDIR", "");
    fake.answerKeyReads(0x00);
    fake.script().delayUser = this;
    fake.script().delay = [](uint32_t milliseconds, void* user) {
        auto* self = static_cast<WindowTest*>(user);
        self->clock.advance(milliseconds);
        // A copy runs, so that the hook may clear itself while it runs.
        if (const std::function<void()> hook = self->duringCall)
            hook();
    };
}

WindowTest::~WindowTest() {
    form.reset();
    QCoreApplication::processEvents();
}

void WindowTest::startUp() {
    showWindow();
    ASSERT_TRUE(
        waitUntil([this] { return !form->TimerBoot->Enabled() && status() != "Connecting QB-vela ..."; }) &&
        waitForRest());
    QCoreApplication::processEvents();
}

QImage WindowTest::grabWindow() const {
    return form->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString WindowTest::progressAtNextTick() {
    // The window's own handler is bound first, so it has run when the spy hears the tick.
    QSignalSpy ticks(form->TimerProgress, &TTimer::timer);
    EXPECT_TRUE(waitUntil([&ticks] { return !ticks.isEmpty(); }, 2000));
    return progressText();
}

} // namespace qbv::test
