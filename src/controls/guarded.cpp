#include "controls/guarded.h"

#include "platform/error.h"

#include <cstdio>

namespace tl {
namespace {

ErrorReporter &reporter()
{
    static ErrorReporter r;
    return r;
}

void report(const QString &message)
{
    if (reporter())
        reporter()(message);
    else
        std::fprintf(stderr, "tessaleaf: %s\n", qPrintable(message));
}

} // namespace

void setErrorReporter(ErrorReporter r)
{
    reporter() = std::move(r);
}

void runGuarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const Error &e) {
        report(e.message());
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace tl
