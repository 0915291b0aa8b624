// The window tests' main: a QApplication for the widgets, on the offscreen platform unless the
// caller chose another.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The windows need no screen; a run from a desktop session stays off it too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
