// Test main: a sandboxed environment and a QApplication on the offscreen
// platform, so widget tests drive real windows headless.

#include <QApplication>
#include <gmock/gmock.h>

namespace tltest { void initSandbox(); }

namespace {
// The offscreen platform says so for every raise() and opacity change.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}
} // namespace

int main(int argc, char **argv)
{
    tltest::initSandbox();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
