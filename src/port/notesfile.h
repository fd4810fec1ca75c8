#pragma once
// Notes files read and written whole, for moving notes in and out: every
// note of a plain or compressed notes file, and a new notes file made from
// a list of notes.

#include <QString>
#include <QStringList>

namespace tl::port {

// Every note of the notes file at path, in order, as stored (RTF or plain
// text). A compressed file is unpacked into a temporary folder that is
// removed afterwards; the file itself is only read. Throws tl::Error with a
// message for the user.
QStringList readAllNotes(const QString &path);

// Writes notes as a new notes file at path: written beside and renamed, and
// refused (tl::Error) when anything already stands at path.
void writeNewNotesFile(const QString &path, const QStringList &notes);

} // namespace tl::port
