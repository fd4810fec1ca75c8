#pragma once
// Fonts and colours of the editor, information bar, find bar and tool bars,
// stored as two sets of values: no suffix for the built-in look, "Skin" for
// every loaded skin. The values are declared once, in the table below; the
// first-run defaults, the main window's load and its save all go by it, and
// code reads and writes a value through its key (keyOf, key).

#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QFont>

#include <array>
#include <string_view>

namespace tl::appearance {

using setting::SkinSuffix;

// The controls a value belongs to, in the order the first-run defaults are
// written.
enum class Element {
    Editor,              // memo1
    SearchButtons,       // the find bar's three buttons, as they are drawn normally
    SearchButtonsHover,  // the same with the mouse over them
    SearchCombo,         // cbSeek
    SearchLabel,         // lblSearch (its background is panSearch's too)
    InfoBar,             // Panel1
    ToolBar,             // panToolBar and panFormat
    ToolBarHover,        // the tool buttons' hover background
};
inline constexpr int kElements = 8;

// What a value holds, in the order an element's values are written.
enum class Property { FontName, FontSize, ForeGrd, BackGrd, Style };
inline constexpr int kProperties = 5;

// Font names and styles are strings ("true" for bold), the rest integers
// (sizes in points, colours 0x00BBGGRR or 0x80000000 + a system colour index).
constexpr setting::Type typeOf(Property p)
{
    return p == Property::FontName || p == Property::Style ? setting::Type::String : setting::Type::Integer;
}

struct Value {
    std::string_view name;  // without the suffix
    Element element;
    Property property;
    bool hasDefault = false;  // written by the first-run defaults, built-in set only
    std::string_view text{};  // the default of a string value
    qint64 number = 0;        // the default of an integer value
};

// Every value, in the order a load applies them (a load skips the values
// that are absent, except the find bar's styles).
inline constexpr std::array<Value, 32> values{{
    {"EditorFontName", Element::Editor, Property::FontName, true, "MS Sans Serif"},
    {"EditorFontSize", Element::Editor, Property::FontSize, true, {}, 10},
    {"EditorForeGrd", Element::Editor, Property::ForeGrd, true, {}, 0},
    {"EditorBackGrd", Element::Editor, Property::BackGrd, true, {}, 0x80000005},
    {"EditorStyle", Element::Editor, Property::Style, true, "false"},
    {"SearchBarNBackGrdButton", Element::SearchButtons, Property::BackGrd, true, {}, 0xD1D8DB},
    {"SearchBarHBackGrdButton", Element::SearchButtonsHover, Property::BackGrd, true, {}, 0xD2BDB6},
    {"SearchBarBackGrdlblSearch", Element::SearchLabel, Property::BackGrd, true, {}, 0xD1D8DB},
    {"SearchBarForeGrdlblSearch", Element::SearchLabel, Property::ForeGrd, true, {}, 0x80000008},
    {"SearchBarBackGrdComboBox", Element::SearchCombo, Property::BackGrd, true, {}, 0xFFFFFF},
    {"SearchBarNForeGrdButton", Element::SearchButtons, Property::ForeGrd, true, {}, 0x80000008},
    {"SearchBarHForeGrdButton", Element::SearchButtonsHover, Property::ForeGrd, true, {}, 0x80000008},
    {"SearchBarForeGrdComboBox", Element::SearchCombo, Property::ForeGrd, true, {}, 0x80000008},
    {"SearchBarNFontNameButton", Element::SearchButtons, Property::FontName},
    {"SearchBarHFontNameButton", Element::SearchButtonsHover, Property::FontName},
    {"SearchBarFontNameComboBox", Element::SearchCombo, Property::FontName, true, "Small Fonts"},
    {"SearchBarFontNamelblSearch", Element::SearchLabel, Property::FontName, true, "Small Fonts"},
    {"SearchBarNFontSizeButton", Element::SearchButtons, Property::FontSize},
    {"SearchBarHFontSizeButton", Element::SearchButtonsHover, Property::FontSize},
    {"SearchBarFontSizeComboBox", Element::SearchCombo, Property::FontSize, true, {}, 7},
    {"SearchBarFontSizelblSearch", Element::SearchLabel, Property::FontSize, true, {}, 7},
    {"SearchBarNStyleButton", Element::SearchButtons, Property::Style},
    {"SearchBarHStyleButton", Element::SearchButtonsHover, Property::Style},
    {"SearchBarStyleComboBox", Element::SearchCombo, Property::Style, true, "false"},
    {"SearchBarStylelblSearch", Element::SearchLabel, Property::Style, true, "false"},
    {"ToolBarNBackGrd", Element::ToolBar, Property::BackGrd, true, {}, 0xD1D8DB},
    {"ToolBarHBackGrd", Element::ToolBarHover, Property::BackGrd, true, {}, 0xD2BDB6},
    {"InfoBarFontName", Element::InfoBar, Property::FontName, true, "Tahoma"},
    {"InfoBarFontSize", Element::InfoBar, Property::FontSize, true, {}, 8},
    {"InfoBarForeGrd", Element::InfoBar, Property::ForeGrd, true, {}, 0},
    {"InfoBarBackGrd", Element::InfoBar, Property::BackGrd, true, {}, 0xD1D8DB},
    {"InfoBarStyle", Element::InfoBar, Property::Style, true, "false"},
}};

// The order a save writes the elements, each element's values in property order.
inline constexpr std::array<Element, kElements> saveOrder{
    Element::Editor,  Element::SearchCombo,  Element::SearchLabel, Element::SearchButtons, Element::SearchButtonsHover,
    Element::ToolBar, Element::ToolBarHover, Element::InfoBar};

// The value of an element's property; nullptr where the element has none
// (the tool bars have only backgrounds).
constexpr const Value *find(Element element, Property property)
{
    for (const Value &v : values)
        if (v.element == element && v.property == property)
            return &v;
    return nullptr;
}

// The editor's and the information bar's styles only ever add bold, and only
// when stored; the find bar's apply stored or not, anything but "true"
// (absent included) being regular.
constexpr bool styleOnlyAddsBold(Element element)
{
    return element == Element::Editor || element == Element::InfoBar;
}

// The font and colours an element's controls show.
struct Shown {
    QFont font;
    quint32 fore = 0, back = 0;
};

// Bold and nothing else: bold italic does not count.
inline bool exactlyBold(const QFont &f)
{
    return f.bold() && !f.italic() && !f.underline() && !f.strikeOut();
}

// A font's size in whole points, also for a font sized in fractions.
inline int pointSizeOf(const QFont &f)
{
    return f.pointSize() > 0 ? f.pointSize() : qRound(f.pointSizeF());
}

// A value as a setting: kept once per set; an absent one reads "" or 0 and
// is not written by the read.
constexpr setting::Def defOf(const Value &v)
{
    const setting::Type type = typeOf(v.property);
    return {v.name, type, type == setting::Type::String ? "" : "0", false, true};
}

// Whether a suffix names the skin's set ("Skin", in any case) rather than the
// built-in look's (none).
bool isSkinSuffix(const QString &suffix);

// The key of a value in the set the suffix names; T is the value's type.
template <setting::Type T>
setting::Key<T> keyOf(const Value &v, const QString &suffix)
{
    return setting::Key<T>(defOf(v), isSkinSuffix(suffix));
}

// The key of an element's property in the set the suffix names; an element
// without that value does not compile.
template <Element E, Property P>
setting::Key<typeOf(P)> key(const QString &suffix)
{
    static_assert(find(E, P) != nullptr, "the element has no such appearance value");
    return keyOf<typeOf(P)>(*find(E, P), suffix);
}

// A setting of the settings table kept once per set ("LineColor"), in the set
// the suffix names.
template <setting::Type T>
setting::Key<T> inSet(setting::Key<T> key, const QString &suffix)
{
    return key.inSkinSet(isSkinSuffix(suffix));
}

// Writes the first-run defaults of the built-in set, element by element,
// "ToolBarHStyle" last. Nothing when the store cannot be opened.
void WriteDefault(const SettingsStore &store);

// Writes the defaults when "ToolBarHStyle" is absent. True when it wrote.
bool firstRunCheck(const SettingsStore &store);

} // namespace tl::appearance
