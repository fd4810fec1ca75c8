#pragma once
// Every setting of the program, declared once: name, type and what a read
// of an absent value gives. Code names a setting through these constants.

#include <array>
#include <string_view>

namespace tl::setting {

enum class Type { String, Integer };

struct Def {
    std::string_view name;
    Type type;
    std::string_view absent;  // what a read gives when the value is missing
    bool stored;              // that read also writes the default
};

inline constexpr std::string_view AskBySave = "AskBySave";
inline constexpr std::string_view AskDelFile = "AskDelFile";
inline constexpr std::string_view AskDelNote = "AskDelNote";
inline constexpr std::string_view AskExit = "AskExit";  // "false": Exit drops unsaved text unasked
inline constexpr std::string_view AuthorName = "AuthorName";
inline constexpr std::string_view AutoURLDetect = "AutoURLDetect";
inline constexpr std::string_view CompanyName = "CompanyName";
inline constexpr std::string_view CurLanguage = "CurLanguage";
inline constexpr std::string_view CurrentSkin = "CurrentSkin";
inline constexpr std::string_view EnableLine = "EnableLine";
inline constexpr std::string_view EnableSound = "EnableSound";
inline constexpr std::string_view HotKey = "Hot_Key";
inline constexpr std::string_view LastAlphaV = "LastAlphaV";
inline constexpr std::string_view LastElementEditor = "LastElementEditor";
inline constexpr std::string_view LineColor = "LineColor";  // + appearance suffix
inline constexpr std::string_view MemoCursor = "MemoCursor";
inline constexpr std::string_view MenuStyle = "MenuStyle";
inline constexpr std::string_view MinEffect = "MinEffect";
inline constexpr std::string_view OnTop = "OnTop";
inline constexpr std::string_view SkinDir = "SkinDir";
inline constexpr std::string_view ToolBarHStyle = "ToolBarHStyle";
inline constexpr std::string_view UseCursor = "UseCursor";
inline constexpr std::string_view X = "x";
inline constexpr std::string_view Y = "y";
inline constexpr std::string_view W = "w";
inline constexpr std::string_view H = "h";

inline constexpr std::string_view NoSkin = "<none>";

inline constexpr std::array<Def, 26> table{{
    {AskBySave, Type::String, "false", true},
    {AskDelFile, Type::String, "", false},
    {AskDelNote, Type::String, "", false},
    {AskExit, Type::String, "true", true},
    {AuthorName, Type::String, "", false},
    {AutoURLDetect, Type::String, "", false},
    {CompanyName, Type::String, "", false},
    {CurLanguage, Type::String, "English", true},
    {CurrentSkin, Type::String, NoSkin, true},
    {EnableLine, Type::String, "", false},
    {EnableSound, Type::String, "", false},
    {HotKey, Type::String, "", false},
    {LastAlphaV, Type::String, "255", true},
    {LastElementEditor, Type::String, "0", true},
    {LineColor, Type::Integer, "0", false},
    {MemoCursor, Type::String, "", false},
    {MenuStyle, Type::String, "0", true},
    {MinEffect, Type::String, "", false},
    {OnTop, Type::String, "true", true},
    {SkinDir, Type::String, "", true},
    {ToolBarHStyle, Type::String, "", false},
    {UseCursor, Type::String, "", false},
    {X, Type::Integer, "0", false},
    {Y, Type::Integer, "0", false},
    {W, Type::Integer, "0", false},
    {H, Type::Integer, "0", false},
}};

// The definition whose name is exactly name, or nullptr.
constexpr const Def *find(std::string_view name)
{
    for (const Def &d : table)
        if (d.name == name)
            return &d;
    return nullptr;
}

} // namespace tl::setting
