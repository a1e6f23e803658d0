// Test main for programs that need a Qt application object. The offscreen platform is the
// default so that the tests need no display; a test run under xvfb-run sets QT_QPA_PLATFORM=xcb.
#include <gtest/gtest.h>

#if QB_TEST_APP == 2
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
