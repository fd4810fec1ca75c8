#pragma once
// What a backup of a notes file holds that the file does not hold now, and
// bringing it back: one note appended, or the whole file replaced.

#include "notes/backups.h"

#include <QString>

#include <vector>

namespace tl::backup {

struct Difference {
    enum Kind {
        Removed,  // in the backup only: deleted since
        Added,    // in the file now only: added since
        Changed,  // the backup's version of a note changed since
    };
    Kind kind = Removed;
    int backupIndex = -1;  // Removed, Changed
    int fileIndex = -1;    // Added, Changed
    QString backupText;    // Removed, Changed: the note as the backup holds it
    QString fileText;      // Added, Changed: as the file holds it now
};

// The notes in which the two lists differ, in the file's order. Notes equal
// in both are matched along the longest common run; between matches, notes
// of the backup and of the file pair up as changed, the rest are removed or
// added.
std::vector<Difference> differences(const std::vector<QString> &backup, const std::vector<QString> &file);

// The notes of the notes file at path, in order. Throws tl::Error.
std::vector<QString> notesOf(const QString &path);

// Replaces file with the backup's bytes, atomically, after a copy of file as
// it is now was added to its backups under root (taken at now). Throws
// tl::Error; file is then as it was.
void restoreWhole(const QString &root, const QString &file, const QString &backup, const QDateTime &now);

} // namespace tl::backup
