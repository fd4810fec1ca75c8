#include "settings/preferitems.h"

#include "settings/settingsstore.h"

namespace tl::prefer {

namespace {

using appearance::Element;

constexpr Item kToolBar[] = {{Element::ToolBar, ItemWord::Normal}, {Element::ToolBarHover, ItemWord::Hover}};
constexpr Item kSearchBar[] = {
    {Element::SearchButtons, ItemWord::Button, ItemWord::Normal},
    {Element::SearchButtonsHover, ItemWord::Button, ItemWord::Hover},
    {Element::SearchCombo, ItemWord::ComboBox},
    {Element::SearchLabel, ItemWord::Label},
};
constexpr Item kEditor[] = {{Element::Editor, ItemWord::Text}};
constexpr Item kInfoBar[] = {{Element::InfoBar, ItemWord::Text}};

} // namespace

std::span<const Item> itemsOf(int element)
{
    switch (element) {
    case int(PageElement::ToolBar): return kToolBar;
    case int(PageElement::SearchBar): return kSearchBar;
    case int(PageElement::Editor): return kEditor;
    case int(PageElement::InfoBar): return kInfoBar;
    default: return {};
    }
}

const appearance::Value *valueOf(const Item &item, appearance::Property column)
{
    return appearance::find(item.target, column);
}

QString suffixFor(const QString &currentSkin, bool skinLoaded)
{
    return currentSkin == SettingsStore::q(setting::NoSkin) && !skinLoaded ? QString()
                                                                          : SettingsStore::q(appearance::SkinSuffix);
}

QString opacityHint(int position)
{
    return QString::number(position * 100 / 255) + QLatin1Char('%');
}

} // namespace tl::prefer
