// Program entry: the main window is created and prepared from the settings,
// the command line's files are opened, and the event loop runs until Exit, a
// termination signal or the session's end, which all take the normal way
// out (app/shutdown.h, also for the exit status).

#include "app/TForm1.h"
#include "app/application.h"
#include "app/fontwarmup.h"
#include "app/shutdown.h"
#include "controls/builtinart.h"
#include "platform/qtservices.h"

#include <QTimer>


int main(int argc, char **argv)
{
    // The window places itself, fades and stays on top: Wayland sessions
    // run it through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    tl::FontWarmUp fonts;
    tl::Application app(argc, argv);
    fonts.applicationReady();
    tl::Application::setApplicationName(QStringLiteral("TessaleafV2"));
    tl::Application::setQuitOnLastWindowClosed(false);
    tl::builtin::initArt();
    // The icon's seven sizes go to the window system with the window: set
    // once the first frame is on its way.
    QTimer::singleShot(0, [] { tl::Application::setWindowIcon(tl::builtin::programWindowIcon()); });

    TForm1 form(tl::realServices());
    fonts.finish();
    return tl::runMainWindow(form, tl::Application::arguments());
}
