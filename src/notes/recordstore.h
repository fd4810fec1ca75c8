#pragma once
// The notes file (.nts): an XML document whose root holds an information
// block and an ordered list of notes, each note the RTF text of the editor.
// Every operation sees the file as it is on disk; writes replace it whole.

#include "notes/notesync.h"
#include "notes/trash.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tl {

// Replaces every occurrence of pattern, ignoring the case of ASCII letters
// only. Matches do not overlap.
QString FastStringReplace(const QString &source, const QString &pattern, const QString &replacement);

// Position of an information field by name, ignoring case; unknown names
// address position 0.
int notesParamPosition(const QString &name);

class RecordStore {
public:
    struct NewFileFields {
        QString author;
        QString company;
    };
    // Asked only when a new notes file is made.
    using NewFileSource = std::function<NewFileFields()>;

    explicit RecordStore(NewFileSource newFileFields = {});
    ~RecordStore();
    RecordStore(RecordStore &&) noexcept;
    RecordStore &operator=(RecordStore &&) noexcept;

    // Text of note index; noteCount receives the number of notes. Throws
    // tl::Error for a broken file or an index out of range.
    QString loadNote(int index, const QString &path, int *noteCount = nullptr);
    // Writes text as note index, appending when index equals the count.
    // A path that does not exist becomes a new notes file with one empty
    // note (index and text unused). Throws for a read-only or broken file.
    void saveNote(int index, const QString &path, const QString &text);
    // Moves note index into the file's trash (notes/trash.h); false when
    // nothing was deleted.
    bool removeNote(int index, const QString &path);
    // Number of notes; 1 for an existing file that is not ".nts", 0 when
    // missing. Reads take a folder in the file's place for a missing file.
    int noteCount(const QString &path);
    // An information field; "" when the file is missing.
    QString param(const QString &path, const QString &name);
    // Writes an information field; a missing or read-only file is left alone.
    void setParam(const QString &path, const QString &name, const QString &value);

    // Storing the note shown into the file as it is now (notes/notesync.h).
    struct Stored {
        sync::Plan plan;
        int count = 0;         // notes in the file afterwards
        bool written = false;  // the file was written
    };
    // A path that does not exist becomes a new notes file, as saveNote
    // makes it. Throws as saveNote does.
    Stored storeShown(const QString &path, const sync::ShownNote &shown, const QString &text, bool edited);
    // Where the note loaded as shown is now (-1: changed or removed
    // outside); count receives the number of notes.
    int locateShown(const QString &path, const sync::ShownNote &shown, int *count = nullptr);
    // Makes the edits again in the notes file at path (a fresh copy of an
    // archive another side changed); returns how many kept both versions.
    int replay(const QString &path, const std::vector<sync::PendingEdit> &edits);
    // The trash of the notes file at path, in file order; empty for a
    // missing file.
    std::vector<TrashedNote> trashed(const QString &path);
    // Puts which back among the notes (trash::restore); returns its index,
    // -1 when the trash no longer holds it.
    int restoreTrashed(const QString &path, const TrashedNote &which);
    // Deletes which, or every trashed note, for good; false when there was
    // nothing to delete.
    bool discardTrashed(const QString &path, const TrashedNote &which);
    bool emptyTrash(const QString &path);
    // What the trash keeps, applied whenever a file is written.
    void setTrashLimits(const TrashLimits &limits);
    // Called with the path before every write of a notes file (a backup is
    // made there); what it throws stops the write.
    void setBeforeWrite(std::function<void(const QString &path)> beforeWrite);

    // The file at path is, to the status change, the one this store wrote
    // last: a change seen there is our own.
    bool isAsLastWritten(const QString &path) const;

private:
    void replayRestore(const QString &path, const sync::PendingEdit &edit);

    // The one document every operation works on (MenuXML), and which file
    // it holds; kept out of this header so its users need no XML library.
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace tl
