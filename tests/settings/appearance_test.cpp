#include "settings/appearance.h"
#include "support/tempenv.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using tl::SettingsStore;

TEST(FirstRun, WritesBuiltInDefaultsOnceWithTheMarkerLast)
{
    const SettingsStore store(tltest::freshFolder() + QStringLiteral("/settings.conf"));
    EXPECT_TRUE(tl::appearance::firstRunCheck(store));
    EXPECT_EQ(store.GetFromReg(QStringLiteral("ToolBarHStyle")), QStringLiteral("false"));
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("EditorFontSize")), 10);
    EXPECT_EQ(quint32(store.GetFromRegInt(QStringLiteral("EditorBackGrd"))), 0x80000005u);
    EXPECT_EQ(store.GetFromReg(QStringLiteral("SearchBarFontNamelblSearch")), QStringLiteral("Small Fonts"));
    EXPECT_EQ(quint32(store.GetFromRegInt(QStringLiteral("ToolBarHBackGrd"))), 0xD2BDB6u);
    // Values without a first-run default stay absent, and no skin set exists.
    EXPECT_FALSE(store.exists(QStringLiteral("SearchBarNFontNameButton")));
    EXPECT_FALSE(store.exists(QStringLiteral("EditorFontSizeSkin")));
    EXPECT_FALSE(store.exists(QStringLiteral("LineColor")));
    const QByteArray file = tltest::readFile(store.path());
    EXPECT_GT(file.indexOf("\"ToolBarHStyle\""), file.indexOf("\"ToolBarHBackGrd\""));

    // A second start does not write them again, even after values went away.
    store.SetFromRegInt(QStringLiteral("EditorFontSize"), 14);
    EXPECT_FALSE(tl::appearance::firstRunCheck(store));
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("EditorFontSize")), 14);
}

// A value's name is element, state, property, item: "SearchBar" "N" "FontName"
// "Button". A row whose name and tag disagree would load the editor's text
// colour as its background, and save it back the same way: no round trip
// could tell.
TEST(AppearanceTable, NamesFollowTheElementAndProperty)
{
    using tl::appearance::Element;
    auto head = [](Element e) -> std::string {
        switch (e) {
        case Element::Editor: return "Editor";
        case Element::SearchButtons: return "SearchBarN";
        case Element::SearchButtonsHover: return "SearchBarH";
        case Element::SearchCombo:
        case Element::SearchLabel: return "SearchBar";
        case Element::InfoBar: return "InfoBar";
        case Element::ToolBar: return "ToolBarN";
        case Element::ToolBarHover: return "ToolBarH";
        }
        return {};
    };
    auto item = [](Element e) -> std::string {
        switch (e) {
        case Element::SearchButtons:
        case Element::SearchButtonsHover: return "Button";
        case Element::SearchCombo: return "ComboBox";
        case Element::SearchLabel: return "lblSearch";
        default: return {};
        }
    };
    const char *const words[] = {"FontName", "FontSize", "ForeGrd", "BackGrd", "Style"};
    std::set<std::string> names;
    for (const tl::appearance::Value &v : tl::appearance::values) {
        const std::string name(v.name);
        EXPECT_EQ(name, head(v.element) + words[int(v.property)] + item(v.element));
        EXPECT_TRUE(names.insert(name).second) << name << " twice";
        EXPECT_EQ(tl::appearance::find(v.element, v.property), &v) << name;
    }
}

// A value's key names it in the set a suffix picks; a setting of the settings
// table kept per set ("LineColor") the same way. Reads and writes go to that
// name, whatever case the suffix came in.
TEST(AppearanceKeys, NameTheValueInTheSetTheSuffixPicks)
{
    using tl::appearance::Element;
    using tl::appearance::Property;
    namespace ap = tl::appearance;
    const QString skin = QStringLiteral("Skin");
    EXPECT_EQ(SettingsStore::nameOf(ap::key<Element::Editor, Property::FontName>({})),
              QStringLiteral("EditorFontName"));
    EXPECT_EQ(SettingsStore::nameOf(ap::key<Element::Editor, Property::FontName>(skin)),
              QStringLiteral("EditorFontNameSkin"));
    EXPECT_EQ(SettingsStore::nameOf(ap::key<Element::SearchLabel, Property::BackGrd>(QStringLiteral("skin"))),
              QStringLiteral("SearchBarBackGrdlblSearchSkin"));
    EXPECT_EQ(SettingsStore::nameOf(ap::inSet(tl::setting::LineColor, skin)), QStringLiteral("LineColorSkin"));
    EXPECT_EQ(SettingsStore::nameOf(ap::inSet(tl::setting::LineColor, {})), QStringLiteral("LineColor"));

    const SettingsStore store(tltest::freshFolder() + QStringLiteral("/settings.conf"));
    // Absent: "" and 0, and nothing written by the read.
    EXPECT_EQ(store.GetFromReg(ap::key<Element::InfoBar, Property::FontName>(skin)), QString());
    EXPECT_EQ(store.GetFromRegInt(ap::key<Element::InfoBar, Property::FontSize>(skin)), 0);
    EXPECT_FALSE(store.exists(QStringLiteral("InfoBarFontNameSkin")));
    store.SetFromRegInt(ap::key<Element::InfoBar, Property::FontSize>(skin), 13);
    EXPECT_EQ(store.GetFromRegInt(QStringLiteral("infobarfontsizeskin")), 13);
    EXPECT_EQ(store.GetFromRegInt(ap::key<Element::InfoBar, Property::FontSize>({})), 0);  // the other set
}
