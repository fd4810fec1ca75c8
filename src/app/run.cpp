#include "app/run.h"

#include "app/TForm1.h"
#include "app/application.h"
#include "app/shutdown.h"
#include "platform/unixsignals.h"

#include <QApplication>

#include <cstdio>

namespace tl {

int runMainWindow(TForm1 &form, const QStringList &args, const std::function<void()> &created)
{
    ShutdownRequest shutdown;
    const ErrorReporter box = errorBoxOver(form);
    setErrorReporter([&](const QString &message) {
        // Nobody is there to answer a box once the program is asked to end.
        if (shutdown.requested())
            std::fprintf(stderr, "tessaleaf: %s\n", qPrintable(message));
        else
            box(message);
    });
    UnixSignals signals;
    // From the request on nobody answers: a question it cancels keeps its
    // text in a recovery file instead of dropping it.
    QObject::connect(&signals, &UnixSignals::terminationRequested, &shutdown, [&](int signalNumber) {
        form.setUnattended();
        shutdown.request(128 + signalNumber);
    });
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &shutdown, [&](QSessionManager &) {
        form.setUnattended();
        shutdown.request(0);
    });

    // At start-up a box (a broken command-line file) may be open while no
    // loop of the program's own runs yet: a request then skips the loop.
    runGuarded([&] { form.FormCreate(args); });
    if (created)
        created();
    int status = 0;
    if (!shutdown.requested()) {
        shutdown.setLoopRunning(true);
        status = QApplication::exec();
        shutdown.setLoopRunning(false);
    }
    if (shutdown.requested()) {
        cancelModalDialogs();  // any a finishing command opened as the loops ended
        runGuarded([&] { form.Exit1Click(); });
    }
    runGuarded([&] { form.FormDestroy(); });
    setErrorReporter({});
    return shutdown.requested() ? shutdown.exitStatus() : status;
}

} // namespace tl
