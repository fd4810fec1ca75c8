// Program entry: --help, --version, --export and --import answer without a
// display, and a plain start without one says so instead of aborting; a second
// start hands its command line to the running program and ends
// (platform/singleinstance.h). Otherwise the main window is created and
// prepared from the settings, the command line's files are opened, and the
// event loop runs until Exit, a termination signal or the session's end,
// which all take the normal way out (app/run.h, also for the exit status).

#include "app/TForm1.h"
#include "app/application.h"
#include "app/fontwarmup.h"
#include "app/run.h"
#include "controls/builtinart.h"
#include "editor/helplinks.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/qtservices.h"
#include "platform/singleinstance.h"
#include "port/command.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

const char kUsage[] = "Usage: tessaleaf [start] [--toggle] [FILE...]\n"
                      "Keeps notes in a small window that lives in the system tray.\n"
                      "\n"
                      "  start        start hidden in the tray (the word, in any case)\n"
                      "  --toggle     show the window, or hide it when it is shown\n"
                      "  FILE...      open the files one after another; the last stays open\n"
                      "  --help       print this text and exit\n"
                      "  --version    print the version and exit\n"
                      "\n"
                      "While the program runs, a second start hands its files and --toggle to it\n"
                      "and ends at once.\n"
                      "\n"
                      "Without a display:\n";

// How long a second start waits for the running program to take its request.
constexpr int kHandOverTimeoutMs = 10000;

// Whether the platform Qt will pick has a display to connect to: without
// one it aborts, which tells a person at a terminal nothing.
bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return x11 || wayland;
    if (platform.startsWith("xcb"))
        return x11;
    if (platform.startsWith("wayland"))
        return wayland;
    return true;  // offscreen, vnc and the like need none
}

// Qt's warnings (a missing runtime folder, fonts) are not a command's
// output; its errors are, as one line each.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "tessaleaf: %s\n", qPrintable(message.simplified()));
}

int runWithoutDisplay(int argc, char **argv, const QStringList &args)
{
    qInstallMessageHandler(quietMessages);
    // Documents need fonts, not a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    return tl::port::runPortCommand(args, out, err);
}

enum class Start { Run, Done, Failed };

// A second start hands over and ends; the first keeps the lock until its
// server listens.
Start handOverOrClaim(const QStringList &args, QString &socket, std::unique_ptr<tl::instance::StartLock> &lock)
{
    using tl::instance::HandOver;
    try {
        const QString folder = tl::paths::privateTempFolder();
        tl::instance::Claim claim = tl::instance::claim(
            folder, tl::instance::fromArguments(args, QDir::currentPath()), kHandOverTimeoutMs);
        switch (claim.outcome) {
        case HandOver::Delivered:
            return Start::Done;
        case HandOver::NoAnswer:
            std::fputs("tessaleaf: the running program does not answer\n", stderr);
            return Start::Failed;
        case HandOver::NoInstance:
            socket = tl::instance::socketPath(folder);
            lock = std::move(claim.lock);
            break;
        }
    } catch (const tl::Error &error) {
        // Without a safe folder for the socket the program runs on its own.
        std::fprintf(stderr, "tessaleaf: %s\n", qPrintable(error.message()));
    }
    return Start::Run;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QLatin1String("--help"))) {
        std::fputs(kUsage, stdout);
        std::fputs(qPrintable(tl::port::portUsage()), stdout);
        return 0;
    }
    if (args.contains(QLatin1String("--version"))) {
        std::printf("tessaleaf %s\n", qPrintable(tl::links::version()));
        return 0;
    }
    if (tl::port::isPortCommand(args))
        return runWithoutDisplay(argc, argv, args);

    QString socket;
    std::unique_ptr<tl::instance::StartLock> lock;
    switch (handOverOrClaim(args, socket, lock)) {
    case Start::Done:
        return 0;
    case Start::Failed:
        return 1;
    case Start::Run:
        break;
    }
    if (!hasDisplay()) {
        std::fputs("tessaleaf: no display: DISPLAY (or WAYLAND_DISPLAY) is not set\n", stderr);
        return 1;
    }

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

    tl::instance::Server server;
    if (!socket.isEmpty() && !server.listen(socket))
        std::fprintf(stderr, "tessaleaf: cannot listen at %s: a second start will run on its own\n",
                     qPrintable(socket));
    lock.reset();

    tl::builtin::initArt();
    // The icon's seven sizes go to the window system with the window: set
    // once the first frame is on its way.
    QTimer::singleShot(0, [] { tl::Application::setWindowIcon(tl::builtin::programWindowIcon()); });

    TForm1 form(tl::realServices());
    fonts.finish();
    QStringList formArgs = tl::Application::arguments();
    formArgs.removeAll(QStringLiteral("--toggle"));
    return tl::runMainWindow(form, formArgs, [&] {
        server.setHandler([&form](const tl::instance::Request &request) {
            tl::runGuarded([&] { form.handOverReceived(request); });
        });
    });
}
