#pragma once
// What the Preferences' fonts and colours page edits: the four elements of
// its list, the display items of each, and the appearance value an item's
// column stores. The page's widgets only look these up.

#include "settings/appearance.h"

#include <QString>
#include <span>

namespace tl::prefer {

// The entries of the element list, in its order.
enum class PageElement { ToolBar, SearchBar, Editor, InfoBar };
inline constexpr int kPageElements = 4;

// The translated words a display item's text is made of.
enum class ItemWord { Normal, Hover, Text, Button, ComboBox, Label };

struct Item {
    appearance::Element target;  // whose fonts and colours the item edits
    ItemWord word;               // the item's name, or its first word
    ItemWord state = word;       // "Button - Normal": the second word
};

// The display items of an element, in the list's order; empty for an index
// that names no element.
std::span<const Item> itemsOf(int element);

// The appearance value an item's column edits (without the suffix);
// nullptr where the page offers no such edit (the tool bars' fonts).
const appearance::Value *valueOf(const Item &item, appearance::Property column);

// The suffix of the appearance set in use: "Skin" unless "CurrentSkin" is
// exactly "<none>" and the window wears no skin. The built-in skin is also
// called "<none>", and its look comes from the "Skin" set: an edit stored
// without the suffix there would never be seen again.
QString suffixFor(const QString &currentSkin, bool skinLoaded);

// The opacity slider's hint: position * 100 / 255, fraction dropped, "%".
QString opacityHint(int position);

} // namespace tl::prefer
