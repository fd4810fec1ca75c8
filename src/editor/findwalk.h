#pragma once
// The find bar's walk over the notes of a file, without widgets: the
// occurrence counters, the n-th occurrence of a text, and the walk itself
// over a source of plain texts (a notes file parsed once, or one document).

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace tl::find {

// 1-based position in haystack of the n-th occurrence of needle, counting
// overlapping occurrences ("aa" occurs at 1, 2 and 3 in "aaaa"); 0 when
// there are fewer than n occurrences, n <= 0 or needle is empty.
int FindNthOccurrence(QStringView needle, QStringView haystack, int n);

// A-Z mapped to a-z; every other character, letters beyond ASCII too, stays.
QString asciiLower(QStringView text);
void asciiLowerInPlace(QString &text);

// For each note (zero-based) the occurrence the search looks for there.
// Entries beyond the array, for notes added since the last Find, read as a
// fresh 1: the array grows on access, so no index is ever out of range.
class SearchCounters {
public:
    void reset(int notes);
    // The file changed outside and now holds notes notes; the note that was
    // at from is at to and keeps its counter, every other note starts afresh
    // (its counter belonged to whatever stood there before). Nothing to do
    // while no search runs.
    void follow(int from, int to, int notes);
    int size() const { return int(m_counts.size()); }
    int &operator[](int note);

private:
    std::vector<int> m_counts;
};

// The plain texts the walk looks at, zero-based.
class NoteTexts {
public:
    virtual ~NoteTexts() = default;
    virtual int count() const = 0;
    virtual QString plainText(int note) const = 0;
    // The plain text as the search compares it (asciiLower).
    virtual QString foldedText(int note) const;
};

// One single document: the editor's current text.
class DocumentText : public NoteTexts {
public:
    explicit DocumentText(QString text) : m_text(std::move(text)) {}
    int count() const override { return 1; }
    QString plainText(int) const override { return m_text; }

private:
    QString m_text;
};

// A notes file as stored on disk, read and parsed once; each note becomes
// plain text only when the walk reaches it. Throws tl::Error for a file
// that cannot be read or is not a notes file.
class NotesFileTexts : public NoteTexts {
public:
    explicit NotesFileTexts(const QString &path);
    ~NotesFileTexts() override;
    int count() const override;
    QString plainText(int note) const override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The folded plain text of every note of one notes file, kept from one
// Find step to the next by the rule of platform/fileid.h and dropped on any
// doubt. Only notes a walk reached are kept, so memory stays at most the size
// of the plain text.
class NotesTextCache {
public:
    NotesTextCache();
    ~NotesTextCache();
    // The notes of the file at path for one step. Throws tl::Error as
    // NotesFileTexts does. The result reads the file only for notes this
    // cache lacks, and at most once.
    std::unique_ptr<NoteTexts> texts(const QString &path);
    void clear();

private:
    class Step;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The plain text of one stored note: RTF through the rich-text layer's
// extraction, anything else as it stands.
QString notePlainText(const char *utf8, size_t size);

struct Hit {
    int position = 0;          // 1-based in the note's plain text; 0: nothing found
    int note = -1;             // zero-based note of the hit
    bool missedInLast = false; // the walk passed the last note without a hit
};

// One step of the search from the 1-based note startNote: first back over
// notes whose counter ran down to 0 (resetting them to 1), then forward,
// looking in each note for the occurrence its counter names and lowering
// the counter of every note passed without it.
Hit searchWalk(const QString &text, int startNote, SearchCounters &counters, const NoteTexts &notes);

} // namespace tl::find
