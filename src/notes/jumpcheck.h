#pragma once
// What the Jump-to-note window makes of the number typed: a note to show,
// or the reason it cannot show one.

#include <QString>

namespace tl::jump {

enum class Verdict {
    Show, // index names the note
    NotANumber, // empty, or anything but the digits 0-9
    NoSuchNote, // 0, beyond the last note, or too long for an int
};

struct Check {
    Verdict verdict;
    int index = -1; // zero-based, for Show
};

// text as typed, count the notes in the open file.
Check checkNumber(const QString &text, int count);

// The messages and their caption, fixed English texts.
inline const char *const kCaption = "Result search";
inline const char *const kNotANumber = "Please enter correct number!";
inline const char *const kNoSuchNote = "The note is not exists!";

} // namespace tl::jump
