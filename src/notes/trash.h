#pragma once
// The trash of a notes file: deleted notes kept inside the file itself, in a
// <trash> element after <notes>. A reader that takes only the information
// block and the notes (the first two children of the root) never sees it;
// everything that counts, steps or searches notes reads <notes> alone. Each
// deleted note keeps its RTF and carries when it was deleted and where it
// stood, so it can go back there.

#include <QDateTime>
#include <QString>

#include <vector>

namespace tl {

struct TrashedNote {
    QString text;       // the note's RTF, as loaded
    QDateTime deleted;  // UTC; invalid when the file gave none we read
    int position = 0;   // its index among the notes when deleted
    // Its place in the trash as listed (file order, oldest first).
    int slot = 0;
};

// What the trash keeps when the file is next stored; 0 keeps without limit.
struct TrashLimits {
    int days = 30;     // deleted longer ago than this leave
    int count = 200;   // beyond this many, the oldest leave
};

namespace trash {

// The trash listed newest first (ties: later in the file first).
std::vector<TrashedNote> newestFirst(std::vector<TrashedNote> notes);

// The first line of a note's plain text that holds more than spaces, for
// lists; empty for none.
QString firstLine(const QString &rtf);

} // namespace trash
} // namespace tl
