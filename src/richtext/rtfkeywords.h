#pragma once
// The control words the RTF reader knows, each with what it does and, for
// some, a value: the character a word stands for, the unheld:: bit of a
// destination that holds the user's content, the kind of a picture. The
// reader skips any other word, and any other destination marked \*.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace tl::rtf {

// What a word does, in groups: groupOf() knows where each one ends.
enum class Kw : std::uint8_t {
    None,
    // destinations
    SkipDest, SkipContent, Drawing, FontTable, ColorTable, PnText, Pn, FldRslt, FldInst, Field, Upr,
    // pictures and objects
    Pict, PicKind, PicW, PicH, PicWGoal, PicHGoal, PicScaleX, PicScaleY, ShpPict,
    Object, Result, ObjW, ObjH, ObjScaleX, ObjScaleY,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, FCharset, Red, Green, Blue, Bin, U, Uc,
    // character
    F, Fs, Cf, B, I, Ul, UlNone, Strike, Plain, Hidden,
    // paragraph
    Par, Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Ls,
    Line, Tab, Cell, NestCell, Row, NestRow,
    // table rows
    Trowd, Trgaph, Trleft, Cellx, Intbl, Border, BorderNone, BorderStyle,
    // characters by name
    Char,
};

// The groups, as the reader hands words on to the part that reads them.
enum class KwGroup : std::uint8_t { Destination, Picture, Document, Character, Paragraph, Row, Char };

constexpr KwGroup groupOf(Kw kw)
{
    if (kw <= Kw::Upr)
        return KwGroup::Destination;
    if (kw <= Kw::ObjScaleY)
        return KwGroup::Picture;
    if (kw <= Kw::Uc)
        return KwGroup::Document;
    if (kw <= Kw::Hidden)
        return KwGroup::Character;
    if (kw <= Kw::NestRow)
        return KwGroup::Paragraph;
    if (kw <= Kw::BorderStyle)
        return KwGroup::Row;
    return KwGroup::Char;
}

struct Word {
    constexpr Word(const char *name, Kw kw, char16_t value = 0)
        : name(name), kw(kw), group(groupOf(kw)), value(value)
    {
    }
    const char *name;
    Kw kw;
    KwGroup group; // groupOf(kw), looked up with the word
    char16_t value;
};

namespace detail {

// Open addressing over the table, built when the program is compiled.
struct WordIndex {
    static constexpr std::size_t kSlots = 1024;
    const Word *words = nullptr;
    std::array<short, kSlots> slots{};          // index in words, -1 for none
    std::array<unsigned char, kSlots> lengths{}; // of the slot's word
};
extern const WordIndex wordIndex;

constexpr std::size_t wordHash(const char *s, std::size_t n)
{
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i)
        h = (h ^ static_cast<unsigned char>(s[i])) * 16777619u;
    return h ^ (h >> 15);
}

} // namespace detail

// The word of the n bytes at s; nullptr for a word the reader does not know.
// Inline: the reader looks up every control word it reads.
inline const Word *findWord(const char *s, std::size_t n)
{
    const detail::WordIndex &index = detail::wordIndex;
    std::size_t h = detail::wordHash(s, n) & (index.kSlots - 1);
    for (;;) {
        const short i = index.slots[h];
        if (i < 0)
            return nullptr;
        if (index.lengths[h] == n && std::memcmp(index.words[i].name, s, n) == 0)
            return &index.words[i];
        h = (h + 1) & (index.kSlots - 1);
    }
}

// Every word the reader knows.
std::span<const Word> knownWords();

} // namespace tl::rtf
