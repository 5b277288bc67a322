#include "app/TApplication.h"

#include "tests/support/QtThreadPool.h"

#include <gtest/gtest.h>

// Suites of the panel's window run it offscreen, in the program's own application object, with real mouse
// events through the window system interface.
namespace {
// The offscreen platform says on every fixed-size window that it cannot pass size hints on; nothing else
// is worth silencing.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    qt_message_output(type, context, message);
}
} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietHandler);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    qbv::test::endIdlePoolThreadsAtOnce();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    qbv::test::waitForPoolThreads();
    return result;
}
