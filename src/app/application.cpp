#include "app/application.h"

#include "platform/error.h"

#include <cstdio>

namespace tl {

static Application::ErrorReporter &reporter()
{
    static Application::ErrorReporter r;
    return r;
}

static void report(const QString &message)
{
    if (reporter())
        reporter()(message);
    else
        std::fprintf(stderr, "tessaleaf: %s\n", qPrintable(message));
}

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

void Application::setErrorReporter(ErrorReporter r)
{
    reporter() = std::move(r);
}

void Application::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const Error &e) {
        report(e.message());
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    }
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace tl
