#pragma once
// The application object: every event is delivered guarded
// (controls/guarded.h), so an error that escapes a handler Qt calls is
// reported, in the error box while the window runs, and the program goes on.

#include "controls/guarded.h"

#include <QApplication>

class TForm1;

namespace tl {

class Application : public QApplication {
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// The program's error box: over the window in front, else over the main
// window while it is shown.
ErrorReporter errorBoxOver(TForm1 &form);

} // namespace tl
