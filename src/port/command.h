#pragma once
// The command-line uses that need no display: --export and --import. They
// run before any window exists, under a GUI application on the offscreen
// platform (documents need fonts, not a screen).

#include <QStringList>

class QTextStream;

namespace tl::port {

// True when the arguments ask for a command of this file.
bool isPortCommand(const QStringList &args);

// Runs it: what was done goes to out, what went wrong to err. Returns the
// exit status: 0 done, 1 a file could not be read or written, 2 the
// arguments were wrong.
int runPortCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The lines --help gives for these commands.
QString portUsage();

} // namespace tl::port
