#pragma once
// Files of the user's are replaced whole: written to a temporary file beside
// the target, flushed to disk and renamed over it.

#include <QByteArray>
#include <QString>

namespace tl {

// True when path exists and this user may not write it.
bool isReadOnlyFile(const QString &path);

// Writes data to path atomically. Throws tl::Error naming the file and the
// reason; on failure the old file is left exactly as it was. An existing file
// without write permission is refused before anything is written.
void writeFileAtomically(const QString &path, const QByteArray &data);

// Reads the whole file; throws tl::Error naming the file when it cannot.
QByteArray readWholeFile(const QString &path);

} // namespace tl
