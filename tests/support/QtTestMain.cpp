// The main of every suite that needs Qt: an application object (the panel's own for the window suites,
// built with QBV_WINDOW_APPLICATION), offscreen unless a platform is named, also when the build lists the
// tests without a display.

#include "tests/support/QtThreadPool.h"

#ifdef QBV_WINDOW_APPLICATION
#include "app/TApplication.h"
using TestApplication = TApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

#include <gtest/gtest.h>

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication application(argc, argv);
    qbv::test::endIdlePoolThreadsAtOnce();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    qbv::test::waitForPoolThreads();
    return result;
}
