#pragma once
// Storing the note shown into a notes file that others change too (a sync
// tool, the same file open on another machine). Notes are positional, so
// the note shown is recognised by what it held when it was loaded:
//  - the note at the index it was loaded from, when it still holds the
//    loaded text; otherwise the nearest note that holds it, which finds it
//    again after notes were added or removed before it;
//  - when no note holds it, it was changed or removed outside.
// An edit replaces the note where it was found. When it was not found, the
// edit is inserted right after the note that stood before it when it was
// loaded (found the same way), else at the index it was loaded from, so
// that whatever now stands there (the other side's version, or the note
// after a removed one) follows it: neither side's text is written over. Without
// an edit nothing is written; the window follows the note where it was
// found, or shows the note now in its place.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tl::sync {

// The note shown as the window loaded it.
struct ShownNote {
    int index = -1;     // -1: not known (nothing loaded from this file yet)
    QByteArray stored;  // its text as the file held it (UTF-8, LF line ends)
    std::optional<QByteArray> before;  // the note before it then, if any
};

// The notes of a file as they are now, compared as stored.
class NoteList {
public:
    virtual ~NoteList() = default;
    virtual int count() const = 0;
    virtual bool holds(int index, QByteArrayView stored) const = 0;
};

// The note nearest to index that holds stored (index itself first, then
// one before, one after, two before, ...); -1 when none does.
int locate(const NoteList &notes, int index, QByteArrayView stored);

struct Plan {
    enum Action { Nothing, Replace, Insert };
    Action action = Nothing;
    int index = 0;       // the note shown afterwards; where the edit goes
    bool lost = false;   // the note loaded is no longer in the file as loaded
};

// What storing ours (the editor's note, stored form) does to notes. edited:
// the editor was changed since the note was loaded; an unchanged text
// counts as no edit (it decides only for a note changed outside). shown.index must be known (>= 0).
Plan planStore(const NoteList &notes, const ShownNote &shown, QByteArrayView ours, bool edited);

// An edit stored into the working copy of a compressed file and not yet
// packed into its archive. When the archive changes outside, its new notes
// get these edits again, by the same rules, in the order they were made.
struct PendingEdit {
    // Restore and Discard: a note of the trash put back or deleted for good.
    enum Kind { Store, Append, Remove, Restore, Discard };
    Kind kind = Store;
    ShownNote shown;  // Store, Remove: the note as it was loaded; Restore: index is where it went
    QString text;     // Store: the note written; Restore, Discard: the trashed note
};

// A note's text as the file will hold it: line ends as a reload gives them.
QByteArray storedForm(const QString &text);

} // namespace tl::sync
