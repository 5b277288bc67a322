#include "app/TApplication.h"

#include <gtest/gtest.h>

// The panel's window runs offscreen in a real QApplication; mouse events go through the window system
// interface and the board is a process of its own.
namespace {
// The offscreen platform says on every fixed-size window that it cannot pass size hints on.
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
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
