#include "app/shutdown.h"

#include "app/TForm1.h"
#include "app/application.h"
#include "platform/unixsignals.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

#include <cstdio>

namespace tl {

int cancelModalDialogs()
{
    int cancelled = 0;
    QWidget *previous = nullptr;
    // The innermost is the active one; once it is gone the next one is.
    for (int guard = 0; guard < 100; ++guard) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        if (modal == previous) {
            modal->hide();  // it refused to close: hidden, it holds nothing up
            continue;
        }
        previous = modal;
        ++cancelled;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
    return cancelled;
}

void ShutdownRequest::request(int exitStatus)
{
    if (!m_requested) {
        m_requested = true;
        m_status = exitStatus;
        qApp->installEventFilter(this);
    }
    cancelModalDialogs();
    // Every loop, the dialogs' too: the commands they interrupted finish
    // with the Cancel answer, then the way out runs.
    if (m_loopRunning)
        QCoreApplication::exit(0);
}

bool ShutdownRequest::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog opened on the way out (the save question, the error box)
    // is cancelled once its loop runs; cancelled at once, before its loop
    // starts, it would leave that loop running with nothing shown.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->isModal()) {
            if (auto *dialog = qobject_cast<QDialog *>(widget))
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            else
                QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
        }
    }
    return false;
}

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
