#pragma once
// The program's run, from the window's creation to its destruction:
// FormCreate with the command line, the event loop, and the normal way out,
// also when the program is asked to end from outside (app/shutdown.h).
// Errors go to the error box; once an end is asked for, to stderr, as nobody
// is there to answer a box.
//
// Exit status: 0 after Exit and after the session's end; 128 + N after
// signal N, as a shell reports a program that signal N ended, though here
// everything Exit stores was stored.

#include <QStringList>

#include <functional>

class TForm1;

namespace tl {

// FormCreate with args, then created (when given), the event loop, and the
// way out. Returns the exit status.
int runMainWindow(TForm1 &form, const QStringList &args, const std::function<void()> &created = {});

} // namespace tl
