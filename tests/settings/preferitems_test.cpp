#include "settings/preferitems.h"

#include <gtest/gtest.h>

namespace {

using tl::appearance::Property;
namespace pr = tl::prefer;

struct ItemRow {
    const char *label;
    int element, item;
    // Value names by column (font name, size, text colour, bold,
    // background); "" where the page offers no such edit.
    const char *names[5];
};

class PreferItemsTest : public testing::TestWithParam<ItemRow> {};

TEST_P(PreferItemsTest, EachColumnEditsItsValue)
{
    const ItemRow &row = GetParam();
    const auto items = pr::itemsOf(row.element);
    ASSERT_LT(size_t(row.item), items.size());
    const Property columns[] = {Property::FontName, Property::FontSize, Property::ForeGrd, Property::Style,
                                Property::BackGrd};
    for (int c = 0; c < 5; ++c) {
        const tl::appearance::Value *v = pr::valueOf(items[size_t(row.item)], columns[c]);
        EXPECT_EQ(v ? std::string(v->name) : std::string(), std::string(row.names[c])) << "column " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PreferItemsTest,
    testing::Values(
        ItemRow{"ToolBarNormal", 0, 0, {"", "", "", "", "ToolBarNBackGrd"}},
        ItemRow{"ToolBarHover", 0, 1, {"", "", "", "", "ToolBarHBackGrd"}},
        ItemRow{"ButtonNormal", 1, 0,
                {"SearchBarNFontNameButton", "SearchBarNFontSizeButton", "SearchBarNForeGrdButton",
                 "SearchBarNStyleButton", "SearchBarNBackGrdButton"}},
        ItemRow{"ButtonHover", 1, 1,
                {"SearchBarHFontNameButton", "SearchBarHFontSizeButton", "SearchBarHForeGrdButton",
                 "SearchBarHStyleButton", "SearchBarHBackGrdButton"}},
        ItemRow{"ComboBox", 1, 2,
                {"SearchBarFontNameComboBox", "SearchBarFontSizeComboBox", "SearchBarForeGrdComboBox",
                 "SearchBarStyleComboBox", "SearchBarBackGrdComboBox"}},
        ItemRow{"Label", 1, 3,
                {"SearchBarFontNamelblSearch", "SearchBarFontSizelblSearch", "SearchBarForeGrdlblSearch",
                 "SearchBarStylelblSearch", "SearchBarBackGrdlblSearch"}},
        ItemRow{"Editor", 2, 0, {"EditorFontName", "EditorFontSize", "EditorForeGrd", "EditorStyle", "EditorBackGrd"}},
        ItemRow{"InfoBar", 3, 0,
                {"InfoBarFontName", "InfoBarFontSize", "InfoBarForeGrd", "InfoBarStyle", "InfoBarBackGrd"}}),
    [](const testing::TestParamInfo<ItemRow> &i) { return std::string(i.param.label); });

TEST(PreferItems, ElementsHaveTheirItemCountsAndNoOthers)
{
    EXPECT_EQ(pr::itemsOf(0).size(), 2u);
    EXPECT_EQ(pr::itemsOf(1).size(), 4u);
    EXPECT_EQ(pr::itemsOf(2).size(), 1u);
    EXPECT_EQ(pr::itemsOf(3).size(), 1u);
    EXPECT_TRUE(pr::itemsOf(-1).empty());
    EXPECT_TRUE(pr::itemsOf(4).empty());
}

TEST(PreferItems, OnlyTheExactNoSkinNameMeansTheBuiltInSet)
{
    EXPECT_EQ(pr::suffixFor(QStringLiteral("<none>"), false), QString());
    EXPECT_EQ(pr::suffixFor(QStringLiteral("<NONE>"), false), QStringLiteral("Skin"));
    EXPECT_EQ(pr::suffixFor(QStringLiteral("Aqua"), false), QStringLiteral("Skin"));
    EXPECT_EQ(pr::suffixFor(QString(), false), QStringLiteral("Skin"));
    // The built-in skin is named "<none>" too, and wears the "Skin" set.
    EXPECT_EQ(pr::suffixFor(QStringLiteral("<none>"), true), QStringLiteral("Skin"));
}

TEST(PreferItems, OpacityHintDropsTheFraction)
{
    const std::pair<int, const char *> rows[] = {{66, "25%"}, {255, "100%"}, {128, "50%"}, {254, "99%"}, {67, "26%"}};
    for (const auto &[position, hint] : rows)
        EXPECT_EQ(pr::opacityHint(position), QString::fromLatin1(hint)) << position;
}

} // namespace
