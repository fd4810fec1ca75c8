#pragma once
// What of a paragraph is checked for spelling: its words, less those with
// digits, ALL-CAPS ones (abbreviations) and every part of a web or mail
// address; and the script each word is written in.

#include <QStringView>
#include <vector>

namespace tl::spell {

enum class Script { Latin, Cyrillic, Greek, Other };

struct Span {
    int start = 0;
    int length = 0;
    friend bool operator==(const Span &, const Span &) = default;
};

// The words of text to check, in order.
std::vector<Span> checkableWords(QStringView text);

// The script of a word: that of its first letter.
Script scriptOf(QStringView word);

} // namespace tl::spell
