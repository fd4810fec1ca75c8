#pragma once
// The notes session: the file open in the main window, the notes file it is
// read from and written to, and what tells the note shown from what other
// writers did to the file. No widgets: the window hands it the editor's text
// and puts what it returns on the screen (notes/documents.cpp and its kin).

#include "notes/openfile.h"
#include "notes/recordstore.h"
#include "platform/fileid.h"

#include <QString>

#include <optional>

namespace tl {

class NotesSession {
public:
    // newFileFields: as RecordStore takes it.
    explicit NotesSession(RecordStore::NewFileSource newFileFields = {});

    OpenFile &file() { return m_file; }
    const OpenFile &file() const { return m_file; }
    RecordStore &records() { return m_records; }
    // The archive of the open working copy as last read or written.
    FileId &archiveId() { return m_archiveId; }

    // What happened to the file outside, said after the information bar's
    // text and, unless nobody can be asked, in a message box.
    struct Notice {
        QString bar;
        QString message;
    };

    // The text of note index of path; for the open file it becomes the note
    // shown, as loaded. Throws as RecordStore::loadNote does.
    QString loadNote(int index, const QString &path);

    // Storing the editor's text (text) as the note shown into path, the
    // open notes file, as the file is now (notes/notesync.h).
    struct Stored {
        // The note shown and the file's notes were looked up again: the step
        // buttons follow. False when nothing was loaded from the file yet and
        // the note went where it stands.
        bool looked = false;
        int from = 0;        // the note shown before
        bool moved = false;  // the note shown or the count changed
        std::optional<Notice> keptBoth;  // the edit was kept beside the other side's
    };
    // Throws as RecordStore::saveNote does; nothing of the session changes then.
    Stored storeShown(const QString &path, const QString &text);

    // Add: an empty note appended to the open notes file becomes the note
    // shown, nothing in it yet. Written before anything changes: a write
    // that fails leaves the session as it was. Throws as saveNote does.
    void appendNote();

private:
    Notice keptBothNotice(int index, int count) const;

    OpenFile m_file;
    RecordStore m_records;
    FileId m_archiveId;
};

} // namespace tl
