// Program entry: the main window is created and prepared from the settings,
// the command line's files are opened, and the event loop runs until Exit, a
// termination signal or the session's end, which all take the normal way
// out (app/shutdown.h, also for the exit status).

#include "app/TForm1.h"
#include "app/application.h"
#include "app/shutdown.h"
#include "controls/builtinart.h"
#include "platform/qtservices.h"

#include <QIcon>

int main(int argc, char **argv)
{
    // The window places itself, fades and stays on top: Wayland sessions
    // run it through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    tl::Application app(argc, argv);
    tl::Application::setApplicationName(QStringLiteral("TessaleafV2"));
    tl::Application::setQuitOnLastWindowClosed(false);
    tl::builtin::initArt();
    QIcon icon;
    for (int size : tl::builtin::programIconSizes)
        icon.addFile(tl::builtin::programIcon(size), QSize(size, size));
    tl::Application::setWindowIcon(icon);

    TForm1 form(tl::realServices());
    return tl::runMainWindow(form, tl::Application::arguments());
}
