// Test main: a sandboxed environment and a QApplication on the offscreen
// platform, so widget tests drive real windows headless.

#include <QApplication>
#include <gmock/gmock.h>

namespace tltest { void initSandbox(); }

int main(int argc, char **argv)
{
    tltest::initSandbox();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
