#pragma once
// The application object: one place where an error that escapes a command
// is caught, shown in the error box, and the program goes on.

#include "controls/guarded.h"

#include <QApplication>
#include <functional>

class TForm1;

namespace tl {

class Application : public QApplication {
public:
    Application(int &argc, char **argv);

    // Shows an escaped error's message; set by the main window once it exists.
    using ErrorReporter = tl::ErrorReporter;
    static void setErrorReporter(ErrorReporter reporter) { tl::setErrorReporter(std::move(reporter)); }
    // Runs a command the way an event handler runs: errors go to the box.
    static void guarded(const std::function<void()> &command) { runGuarded(command); }

    bool notify(QObject *receiver, QEvent *event) override;
};

// The program's error box: over the window in front, else over the main
// window while it is shown.
ErrorReporter errorBoxOver(TForm1 &form);

} // namespace tl
