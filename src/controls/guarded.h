#pragma once
// Commands run from signal connections and event hooks: an error a command
// throws is shown in the error box and the program goes on. It never
// unwinds through Qt's own frames, which would leave their state half-done.

#include <QObject>
#include <QString>

#include <functional>
#include <type_traits>
#include <utility>

namespace tl {

// Shows an escaped error's message; until one is set, messages go to stderr.
using ErrorReporter = std::function<void(const QString &message)>;
void setErrorReporter(ErrorReporter reporter);

// Runs a command; a tl::Error or std::exception it throws is reported.
void runGuarded(const std::function<void()> &command);

namespace detail {

template <typename Functor>
struct Guarded {
    Functor functor;
    // Callable only with arguments the functor takes, so that connect()
    // drops the signal's extra ones as it does for the functor itself.
    template <typename... Args>
    auto operator()(Args &&...args) -> decltype(void(std::declval<Functor &>()(std::forward<Args>(args)...)))
    {
        runGuarded([&] { functor(std::forward<Args>(args)...); });
    }
};

} // namespace detail

// QObject::connect for a handler that runs a command.
template <typename Sender, typename Signal, typename Functor>
QMetaObject::Connection connectGuarded(const Sender *sender, Signal signal, const QObject *context, Functor functor,
                                       Qt::ConnectionType type = Qt::AutoConnection)
{
    return QObject::connect(sender, signal, context, detail::Guarded<std::decay_t<Functor>>{std::move(functor)},
                            type);
}

} // namespace tl
