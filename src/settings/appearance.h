#pragma once
// Fonts and colours of the editor, information bar, find bar and tool bars,
// stored as two sets of values: no suffix for the built-in look, "Skin" for
// every loaded skin.

#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <array>
#include <string_view>

namespace tl::appearance {

inline constexpr std::string_view SkinSuffix = "Skin";

struct Default {
    std::string_view name;
    setting::Type type;
    std::string_view text;  // for strings
    qint64 number;          // for integers (0x80000000 + index are system colours)
};

// The first-run defaults of the built-in set, in the order they are written;
// the marker "ToolBarHStyle" comes last.
inline constexpr std::array<Default, 25> firstRun{{
    {"EditorFontName", setting::Type::String, "MS Sans Serif", 0},
    {"EditorFontSize", setting::Type::Integer, "", 10},
    {"EditorForeGrd", setting::Type::Integer, "", 0},
    {"EditorBackGrd", setting::Type::Integer, "", 0x80000005},
    {"EditorStyle", setting::Type::String, "false", 0},
    {"SearchBarNForeGrdButton", setting::Type::Integer, "", 0x80000008},
    {"SearchBarNBackGrdButton", setting::Type::Integer, "", 0xD1D8DB},
    {"SearchBarHForeGrdButton", setting::Type::Integer, "", 0x80000008},
    {"SearchBarHBackGrdButton", setting::Type::Integer, "", 0xD2BDB6},
    {"SearchBarFontNameComboBox", setting::Type::String, "Small Fonts", 0},
    {"SearchBarFontSizeComboBox", setting::Type::Integer, "", 7},
    {"SearchBarForeGrdComboBox", setting::Type::Integer, "", 0x80000008},
    {"SearchBarBackGrdComboBox", setting::Type::Integer, "", 0xFFFFFF},
    {"SearchBarStyleComboBox", setting::Type::String, "false", 0},
    {"SearchBarFontNamelblSearch", setting::Type::String, "Small Fonts", 0},
    {"SearchBarFontSizelblSearch", setting::Type::Integer, "", 7},
    {"SearchBarForeGrdlblSearch", setting::Type::Integer, "", 0x80000008},
    {"SearchBarBackGrdlblSearch", setting::Type::Integer, "", 0xD1D8DB},
    {"SearchBarStylelblSearch", setting::Type::String, "false", 0},
    {"InfoBarFontName", setting::Type::String, "Tahoma", 0},
    {"InfoBarFontSize", setting::Type::Integer, "", 8},
    {"InfoBarForeGrd", setting::Type::Integer, "", 0},
    {"InfoBarBackGrd", setting::Type::Integer, "", 0xD1D8DB},
    {"InfoBarStyle", setting::Type::String, "false", 0},
    {"ToolBarNBackGrd", setting::Type::Integer, "", 0xD1D8DB},
}};
inline constexpr Default toolBarHover{"ToolBarHBackGrd", setting::Type::Integer, "", 0xD2BDB6};

// Writes the first-run defaults of the built-in set, "ToolBarHStyle" last.
// Nothing when the store cannot be opened.
void WriteDefault(const SettingsStore &store);

// Writes the defaults when "ToolBarHStyle" is absent. True when it wrote.
bool firstRunCheck(const SettingsStore &store);

} // namespace tl::appearance
