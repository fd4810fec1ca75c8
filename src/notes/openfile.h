#pragma once
// The file open in the main window, and what was learnt about it when it was
// opened: one place for what opening, closing, Save As and New file change.

#include "notes/filekind.h"
#include "notes/notesync.h"
#include "platform/textencoding.h"

#include <QString>

#include <vector>

namespace tl {

struct OpenFile {
    QString path;  // empty: no file open
    int note = 0;  // zero-based index of the note shown
    // Notes in the file as this window last read or wrote it; 0 until then,
    // and for a document.
    int noteCount = 0;
    // Decided once, from the name, when the file is adopted.
    FileKind kind = FileKind::Document;
    // A document read as RTF gets RTF back, whatever its name.
    bool rtf = false;
    // How the editor's plain text goes to disk: its encoding, byte-order
    // mark and line ends, as the document was read. It belongs to the text,
    // not the file: Save As, a new notes file and closing keep it; reading a
    // document or starting a new file sets it again.
    TextFormat textFormat;
    // Said after the information bar's text once a save wrote the text in
    // another encoding than it was read in (it did not fit); kept as long as
    // textFormat is.
    QString textNotice;
    // False for a document that is no text (a binary file): its bytes would
    // not come back as they are, so it is browsed, never written back.
    bool faithful = true;
    // What the note or document shown holds that the editor leaves out
    // (rtf::unheld bits): while any is set, it is browsed, never written
    // back, so that a step or a close does not thin it.
    unsigned unheld = 0;
    // For the working copy of a compressed notes file: the archive it was
    // unpacked from (its realpath), written again when the copy is closed.
    // Empty for any other file, whatever a notes file's realpath says: only
    // a copy this program unpacked is ever packed away and deleted.
    QString archive;
    // The note shown as it was loaded from the file (notes/notesync.h), and
    // whether the editor changed since: what tells our edit from theirs when
    // the file changes outside. For a document, whether its text changed
    // since it was read or written: what a close writes back or asks about.
    sync::ShownNote shown;
    bool shownEdited = false;
    // For a working copy: what was stored into it since its archive was
    // last read or written.
    std::vector<sync::PendingEdit> pending;

    // Makes path the open file, at its first note, with nothing read of it yet.
    void adopt(QString path);
    // The editor's content now goes to the file at path (Save As, a new file
    // from Add): the note index stays, the kind follows the new name, and
    // nothing read from the old file counts any more.
    void renameTo(QString path);
    // No file open.
    void clear();

    bool isNotes() const { return kind == FileKind::Notes; }
    bool isWorkingCopy() const { return isNotes() && !archive.isEmpty(); }
    // The step buttons: a note before the one shown, a note after it.
    bool hasPreviousNote() const { return noteCount > 0 && note > 0; }
    bool hasNextNote() const { return note + 1 < noteCount; }
};

} // namespace tl
