// main() for GoogleTest programs that drive Qt widgets: one QApplication for every test.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The tests need no display; set QT_QPA_PLATFORM=xcb to watch them on one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
