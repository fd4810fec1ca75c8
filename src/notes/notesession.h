#pragma once
// The notes session: the file open in the main window, the notes file it is
// read from and written to, and what tells the note shown from what other
// writers did to the file. No widgets: the window hands it the editor's text
// and puts what it returns on the screen (notes/documents.cpp and its kin).

#include "notes/backups.h"
#include "notes/filefollower.h"
#include "notes/openfile.h"
#include "notes/recordstore.h"
#include "platform/fileid.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace tl {

class NotesSession {
public:
    // newFileFields: as RecordStore takes it.
    explicit NotesSession(RecordStore::NewFileSource newFileFields = {});
    ~NotesSession();
    NotesSession(const NotesSession &) = delete;
    NotesSession &operator=(const NotesSession &) = delete;

    OpenFile &file() { return m_file; }
    const OpenFile &file() const { return m_file; }
    RecordStore &records() { return m_records; }
    // Follows what others do to the open notes file, or for a working copy
    // to its archive (watchedPath()).
    FileFollower &follower() { return *m_follower; }
    QString watchedPath() const;

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

    // What a change the follower told of (FileFollower::changed) is.
    enum class Change {
        Own,      // our own write, or a file no longer open
        Archive,  // the working copy's archive: its notes are taken in
        Notes,    // the open notes file: the note shown follows
    };
    Change changeSeen(bool wasGone) const;

    // The open notes file changed outside; text is the editor's. An edit
    // stays, and the next store puts it into the file as it is then;
    // otherwise the note shown follows, and is read again when it was
    // changed outside.
    struct Followed {
        enum Action { KeepEdit, Moved, Reload };
        Action action = KeepEdit;
        // Moved and Reload: the note shown before and after, and the notes
        // now (the find counters follow).
        int from = 0, to = 0, count = 0;
    };
    Followed followOutsideChange(const QString &text);

    // --- Compressed notes files (notes/sessionpacking.cpp). An archive is
    // unpacked into a working copy in the private temporary folder; the copy
    // is the file open, packed back at the close. Nothing is deleted before
    // what it held is safe elsewhere.

    // A question answered Yes (true) or No.
    struct Question {
        QString caption;
        QString text;
    };
    using Ask = std::function<bool(const Question &)>;
    // What a step came to: the file it made, empty when nothing was done;
    // problem, when not empty, is said in an error box.
    struct Packed {
        QString path;
        QString problem;
    };

    // The open file, an archive, becomes its working copy: the copy is
    // unpacked (a copy left by a program that was killed is recovered into
    // its archive or kept beside it first, as ask answers) and opened, the
    // archive named in its realpath. level: for a left copy that names none.
    // Nothing is open when it cannot be.
    Packed openWorkingCopy(int level, const Ask &ask);
    // The open working copy becomes a plain notes file beside its archive;
    // the archive and the copy are deleted, the note shown stays.
    Packed unpackToPlainFile(const Ask &ask);

    enum class Pack {
        WorkingCopy,  // the open working copy into its archive
        PlainFile,    // the open plain notes file into an archive beside it
    };
    // Writes the archive at level; the file packed is deleted once the
    // archive is written and checked. The open file does not change.
    Packed pack(Pack what, int level, const Ask &ask);

    // The archive of the open working copy changed outside: its notes with
    // the edits stored since (file().pending) become the working copy, and,
    // with pack, the archive too (at level).
    struct Merged {
        bool taken = false;  // false: the archive is as last seen, or unreadable
        QString problem;
        std::optional<Notice> keptBoth;  // both sides changed notes
    };
    Merged mergeArchiveChanges(bool pack, int level);
    // The open notes file's trash (notes/trash.h), in file order. A working
    // copy keeps what is done to it as edits to make again in its archive's
    // notes. Throw as RecordStore does.
    std::vector<TrashedNote> trashed();
    // Puts which back among the notes; the note shown keeps its place among
    // the others. Returns the index it took, -1 when the trash lost it.
    int restoreTrashed(const TrashedNote &which);
    // Deletes which, or the whole trash, for good; false: nothing was there.
    bool discardTrashed(const TrashedNote &which);
    bool emptyTrash();
    // A note of a backup appended to the open notes file as it is; returns
    // its index. The note shown stays.
    int appendRestored(const QString &text);

    // Backups (notes/backups.h) of the notes files the session writes, into
    // the data folder's backups/, as policy says (default: Policy{}).
    void setBackupPolicy(std::function<backup::Policy()> policy) { m_backupPolicy = std::move(policy); }
    static QString backupsFolder();
    // Before the notes file at path is written or deleted: its backup when
    // one is due; for the working copy, its archive's. A backup that fails
    // is told on standard error and stops nothing.
    void backUpBeforeWrite(const QString &path);
    backup::Keeper &backups() { return m_backups; }

private:
    Notice keptBothNotice(int index, int count) const;
    // The archive the open working copy belongs to.
    QString workingCopyArchive();
    // A working copy left by a program that was killed, holding what its
    // archive's member fresh does not: recovered into the archive or kept
    // beside it. Empty when done; otherwise why not.
    QString recoverLeftCopy(const QString &copy, const QString &fresh, const QString &archivePath, int level,
                            const Ask &ask);

    OpenFile m_file;
    RecordStore m_records;
    // The archive of the open working copy as last read or written.
    FileId m_archiveId;
    std::unique_ptr<FileFollower> m_follower;
    std::function<backup::Policy()> m_backupPolicy;
    backup::Keeper m_backups{[] { return backupsFolder(); },
                             [this] { return m_backupPolicy ? m_backupPolicy() : backup::Policy{}; }};
};

} // namespace tl
