#pragma once
// Compressed notes files (.znts): a ZIP archive holding one notes file. The
// program works on an unpacked working copy in the private temporary
// folder; these are the steps that need no window.

#include <QDateTime>
#include <QString>

namespace tl::compressed {

// A notes file larger than this is no notes file this program wrote.
inline constexpr qint64 maxNotesBytes = 1ll << 30;

// The member a compressed file holds: Diary.znts holds Diary.nts.
QString memberNameFor(const QString &archivePath);
// Where the working copy of an archive lives: tempFolder/Diary.nts.
QString workingCopyPath(const QString &archivePath, const QString &tempFolder);
// The archive a plain notes file becomes: Diary.nts beside it gives Diary.znts.
QString archivePathFor(const QString &notesPath);
// Where a left working copy is kept when it is not recovered into its
// archive: beside the archive, "Diary (recovered 2024-05-01 13-45-10).nts".
QString recoveredCopyPath(const QString &archivePath, const QDateTime &when);

// Unpacks the notes file of the archive to path (replacing what is there
// only once the whole member is out). Throws tl::Error with a message for
// the user: not a ZIP archive, damaged or truncated, no member of the
// expected name (the message names it), a member that would unpack outside
// the folder, a member larger than maxNotesBytes.
void unpackNotes(const QString &archivePath, const QString &path);

// Writes the archive anew from the notes file at level (0 stores); see
// archive::writeSingleMember: the old archive stays until the new one is
// written and checked.
void packNotes(const QString &notesPath, const QString &archivePath, int level);

// True when two notes files hold the same notes and the same information,
// realpath aside (a working copy differs from its member only there).
bool sameNotes(const QString &a, const QString &b);

} // namespace tl::compressed
