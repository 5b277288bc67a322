#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Fonts and image readers need the application object; the suite runs offscreen, also when the
    // build lists its tests.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
