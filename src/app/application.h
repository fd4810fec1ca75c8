#pragma once
// The application object: one place where an error that escapes a command
// is caught, shown in the error box, and the program goes on.

#include <QApplication>
#include <functional>

namespace tl {

class Application : public QApplication {
public:
    Application(int &argc, char **argv);

    // Shows an escaped error's message; set by the main window once it exists.
    using ErrorReporter = std::function<void(const QString &message)>;
    static void setErrorReporter(ErrorReporter reporter);
    // Runs a command the way an event handler runs: errors go to the box.
    static void guarded(const std::function<void()> &command);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace tl
