#include <QGuiApplication>

#include "tests/support/QtThreadPool.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Fonts and image readers need the application object; the suite runs offscreen, also when the
    // build lists its tests.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    qbv::test::endIdlePoolThreadsAtOnce();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    qbv::test::waitForPoolThreads();
    return result;
}
