// Program entry: the main window is created and prepared from the settings,
// the command line's files are opened, and the event loop runs until Exit or
// a termination signal, both of which take the normal shutdown path.

#include "app/TForm1.h"
#include "app/application.h"
#include "controls/builtinart.h"
#include "platform/qtservices.h"
#include "platform/unixsignals.h"

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
    tl::Application::setErrorReporter(tl::errorBoxOver(form));

    tl::UnixSignals signals;
    QObject::connect(&signals, &tl::UnixSignals::terminationRequested, &form,
                     [&form](int) { tl::Application::guarded([&] { form.Exit1Click(); }); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager &) { tl::Application::guarded([&] { form.Exit1Click(); }); });

    const QStringList args = tl::Application::arguments();
    tl::Application::guarded([&] { form.FormCreate(args); });
    const int code = tl::Application::exec();
    tl::Application::guarded([&] { form.FormDestroy(); });
    return code;
}
