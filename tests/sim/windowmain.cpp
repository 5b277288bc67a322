#include <QApplication>

#include "tests/support/QtThreadPool.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Listing the tests at build time happens without a display too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qbv::test::endIdlePoolThreadsAtOnce();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    qbv::test::waitForPoolThreads();
    return result;
}
