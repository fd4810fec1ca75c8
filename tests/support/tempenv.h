#pragma once
// Every test process runs with XDG_CONFIG_HOME, XDG_RUNTIME_DIR and TMPDIR
// pointing into one fresh temporary folder, never the real home folder.

#include <QString>

namespace tltest {

// The process's private sandbox folder (created by the test main).
QString sandbox();

// A fresh, empty folder inside the sandbox.
QString freshFolder();

// Points XDG_CONFIG_HOME at a fresh folder, so the next settings access
// starts from an empty store. Returns that folder.
QString freshConfig();

// Writes bytes to a file, creating folders; returns the path.
QString writeFile(const QString &path, const QByteArray &data);
QByteArray readFile(const QString &path);

// Rewrites path in place with data of the same size and puts its
// modification time back, as "rsync --inplace -t" does. Returns once the
// file's status change time differs from what it was (the kernel's clock
// for it ticks coarsely), so the change is one a careful reader can see.
void rewriteInPlaceKeepingTime(const QString &path, const QByteArray &data);

} // namespace tltest
