#pragma once
// Every setting of the program, declared once in the table below: its name,
// its type and what a read of an absent value gives. Code names a setting by
// a key: the constants after the table, which only a name declared there
// with that type makes, or an appearance value's key (settings/appearance.h,
// whose table declares those values).

#include <array>
#include <cassert>
#include <string_view>

namespace tl::setting {

enum class Type { String, Integer };

struct Def {
    std::string_view name;
    Type type;
    std::string_view absent;  // what a read gives when the value is missing
    bool stored;              // that read also writes the default
    bool perSet = false;      // kept once per appearance set, the name with the set's suffix
};

inline constexpr std::string_view NoSkin = "<none>";

// The suffix of the appearance set every skin wears; the built-in look's set
// has none.
inline constexpr std::string_view SkinSuffix = "Skin";

inline constexpr std::array<Def, 34> table{{
    {"AskBySave", Type::String, "false", true},
    {"AskDelFile", Type::String, "", false},
    {"AskDelNote", Type::String, "", false},
    {"AskExit", Type::String, "true", true},  // "false": Exit drops text in no file unasked
    {"AuthorName", Type::String, "", false},
    {"AutoURLDetect", Type::String, "", false},
    {"BackupDays", Type::Integer, "7", false},     // daily copies kept of each notes file
    {"BackupMegabytes", Type::Integer, "500", false},  // at most, per notes file
    {"BackupWeeks", Type::Integer, "4", false},    // weekly copies kept besides; both 0: no backups
    {"CompanyName", Type::String, "", false},
    {"CurLanguage", Type::String, "English", true},
    {"CurrentSkin", Type::String, NoSkin, true},
    {"EnableLine", Type::String, "", false},
    {"EnableSound", Type::String, "", false},
    {"Hot_Key", Type::String, "", false},
    {"LastAlphaV", Type::String, "255", true},
    {"LastElementEditor", Type::String, "0", true},
    {"LineColor", Type::Integer, "0", false, true},
    {"LockAfterMinutes", Type::Integer, "10", false},  // an unlocked encrypted file locks after this long hidden or idle; 0: never
    {"MemoCursor", Type::String, "", false},
    {"MenuStyle", Type::String, "0", true},
    {"MinEffect", Type::String, "", false},
    {"OnTop", Type::String, "true", true},
    {"SkinDir", Type::String, "", true},
    {"SpellCheck", Type::String, "true", false},  // "false": no words are marked
    {"SpellLanguage", Type::String, "", false},   // a dictionary's name; empty: the interface language's
    {"ToolBarHStyle", Type::String, "", false},
    {"TrashDays", Type::Integer, "30", false},     // deleted notes kept this long; 0: no limit
    {"TrashNotes", Type::Integer, "200", false},   // at most this many; 0: no limit
    {"UseCursor", Type::String, "", false},
    {"x", Type::Integer, "0", false},
    {"y", Type::Integer, "0", false},
    {"w", Type::Integer, "0", false},
    {"h", Type::Integer, "0", false},
}};

// The definition whose name is exactly name, or nullptr.
constexpr const Def *find(std::string_view name)
{
    for (const Def &d : table)
        if (d.name == name)
            return &d;
    return nullptr;
}

// A decimal integer of up to nine digits, as an integer's default is written.
constexpr bool isInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    if (text.empty() || text.size() > 9)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

constexpr int toInteger(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    int n = 0;
    for (const char c : text)
        n = n * 10 + (c - '0');
    return negative ? -n : n;
}

constexpr bool tableIsSound()
{
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].type == Type::Integer && !isInteger(table[i].absent))
            return false;
        for (size_t j = 0; j < i; ++j)
            if (table[j].name == table[i].name)
                return false;
    }
    return true;
}
static_assert(tableIsSound(), "a name declared twice, or an integer whose default is no integer");

// A setting as the accessors take it: a declared name of type T, in the
// built-in or the skin's appearance set where it is kept once per set.
template <Type T>
class Key {
public:
    // A name of the table: one that is not there, or is there with the
    // other type, does not compile.
    consteval Key(std::string_view declared) : Key(checked(declared), false) {}

    // A definition chosen at run time (an appearance value's); of type T.
    constexpr Key(const Def &def, bool skinSet)
        : m_name(def.name), m_absent(def.absent), m_stored(def.stored), m_perSet(def.perSet), m_skinSet(skinSet)
    {
        assert(def.type == T && (def.perSet || !skinSet));
    }

    // The same setting in the skin's set (skin) or the built-in look's.
    constexpr Key inSkinSet(bool skin) const
    {
        assert(m_perSet || !skin);
        Key k = *this;
        k.m_skinSet = skin;
        return k;
    }

    constexpr std::string_view name() const { return m_name; }  // without the set's suffix
    constexpr bool skinSet() const { return m_skinSet; }
    constexpr std::string_view absent() const { return m_absent; }
    constexpr bool stored() const { return m_stored; }

private:
    static consteval const Def &checked(std::string_view declared)
    {
        const Def *def = find(declared);
        if (!def || def->type != T)
            throw "not declared in the settings table with this type";
        return *def;
    }

    std::string_view m_name;
    std::string_view m_absent;
    bool m_stored;
    bool m_perSet;
    bool m_skinSet;
};

using Text = Key<Type::String>;
using Number = Key<Type::Integer>;

inline constexpr Text AskBySave{"AskBySave"};
inline constexpr Text AskDelFile{"AskDelFile"};
inline constexpr Text AskDelNote{"AskDelNote"};
inline constexpr Text AskExit{"AskExit"};
inline constexpr Text AuthorName{"AuthorName"};
inline constexpr Text AutoURLDetect{"AutoURLDetect"};
inline constexpr Number BackupDays{"BackupDays"};
inline constexpr Number BackupMegabytes{"BackupMegabytes"};
inline constexpr Number BackupWeeks{"BackupWeeks"};
inline constexpr Text CompanyName{"CompanyName"};
inline constexpr Text CurLanguage{"CurLanguage"};
inline constexpr Text CurrentSkin{"CurrentSkin"};
inline constexpr Text EnableLine{"EnableLine"};
inline constexpr Text EnableSound{"EnableSound"};
inline constexpr Text HotKey{"Hot_Key"};
inline constexpr Text LastAlphaV{"LastAlphaV"};
inline constexpr Text LastElementEditor{"LastElementEditor"};
inline constexpr Number LineColor{"LineColor"};  // per appearance set: inSkinSet()
inline constexpr Number LockAfterMinutes{"LockAfterMinutes"};
inline constexpr Text MemoCursor{"MemoCursor"};
inline constexpr Text MenuStyle{"MenuStyle"};
inline constexpr Text MinEffect{"MinEffect"};
inline constexpr Text OnTop{"OnTop"};
inline constexpr Text SkinDir{"SkinDir"};
inline constexpr Text SpellCheck{"SpellCheck"};
inline constexpr Text SpellLanguage{"SpellLanguage"};
inline constexpr Text ToolBarHStyle{"ToolBarHStyle"};
inline constexpr Number TrashDays{"TrashDays"};
inline constexpr Number TrashNotes{"TrashNotes"};
inline constexpr Text UseCursor{"UseCursor"};
inline constexpr Number X{"x"};
inline constexpr Number Y{"y"};
inline constexpr Number W{"w"};
inline constexpr Number H{"h"};

} // namespace tl::setting
