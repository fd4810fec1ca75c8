#include "settings/hotkeytext.h"

#include <gtest/gtest.h>

namespace hk = tl::hotkey;

namespace {
std::string testName(std::string n)
{
    for (char &c : n)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n.empty() ? std::string("empty") : n;
}
} // namespace

TEST(HotKeyLists, HoldTheEntriesInTheirOrder)
{
    EXPECT_EQ(hk::firstList(), QStringList({ "None", "Ctrl", "Shift" }));
    EXPECT_EQ(hk::secondList(), QStringList({ "None", "Ctrl", "Alt" }));
    const QStringList &keys = hk::keyList();
    ASSERT_EQ(keys.size(), 39);
    EXPECT_EQ(keys.first(), "None");
    EXPECT_EQ(keys[1], "F1");
    EXPECT_EQ(keys[12], "F12");
    EXPECT_EQ(keys[13], "A");
    EXPECT_EQ(keys.last(), "Z");
}

// The three shown texts: what "Hot_Key" stores, the shortcut text beside
// "Show", and the key that is grabbed.
struct ListsCase {
    const char *name;
    QString first, second, key;
    QString stored, shortcut;
    QKeyCombination combination;
};

class HotKeyFromLists : public testing::TestWithParam<ListsCase> { };

TEST_P(HotKeyFromLists, StoresShowsAndParses)
{
    const ListsCase &c = GetParam();
    EXPECT_EQ(hk::storedText(c.first, c.second, c.key), c.stored);
    const QString shortcut = hk::shortcutText(c.first, c.second, c.key);
    EXPECT_EQ(shortcut, c.shortcut);
    EXPECT_EQ(hk::parseShortcut(shortcut), c.combination);
}

const QKeyCombination noKey(Qt::Key_unknown);

INSTANTIATE_TEST_SUITE_P(Table, HotKeyFromLists,
    testing::Values(
        ListsCase { "CtrlAltF5", "Ctrl", "Alt", "F5", "Ctrl+Alt+F5", "Ctrl+Alt+F5", Qt::CTRL | Qt::ALT | Qt::Key_F5 },
        ListsCase { "KeyAlone", "None", "None", "A", "None+None+A", "A", QKeyCombination(Qt::Key_A) },
        ListsCase { "AllNone", "None", "None", "None", "None+None+None", "", noKey },
        ListsCase { "NoSelection", "", "", "", "++", "+", noKey },
        ListsCase { "TwoWords", "Ctrl", "Alt", "", "Ctrl+Alt+", "Ctrl+Alt+", noKey },
        ListsCase { "SecondAndKey", "None", "Alt", "F1", "None+Alt+F1", "Alt+F1", Qt::ALT | Qt::Key_F1 },
        ListsCase { "ShiftKey", "Shift", "None", "Z", "Shift+None+Z", "Shift+Z", Qt::SHIFT | Qt::Key_Z },
        ListsCase {
            "ModifierKeyAlone", "Ctrl", "None", "None", "Ctrl+None+None", "Ctrl", QKeyCombination(Qt::Key_Control) },
        ListsCase {
            "ShiftThenCtrl", "Shift", "Ctrl", "None", "Shift+Ctrl+None", "Shift+Ctrl", Qt::SHIFT | Qt::Key_Control },
        ListsCase { "EmptyFirst", "", "None", "F12", "+None+F12", "F12", QKeyCombination(Qt::Key_F12) }),
    [](const auto &info) { return testName(info.param.name); });

struct WordsCase {
    QString stored;
    QStringList words;
};

class HotKeyStoredWords : public testing::TestWithParam<WordsCase> { };

TEST_P(HotKeyStoredWords, SplitAtRunsOfPlus)
{
    EXPECT_EQ(hk::storedWords(GetParam().stored), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(Table, HotKeyStoredWords,
    testing::Values(WordsCase { "Ctrl+Alt+F5", { "Ctrl", "Alt", "F5" } },
        WordsCase { "None+None+A", { "None", "None", "A" } }, WordsCase { "++", {} }, WordsCase { "", {} },
        WordsCase { "Ctrl+Alt", { "Ctrl", "Alt" } }, WordsCase { "Ctrl+Alt+", { "Ctrl", "Alt" } },
        WordsCase { "Ctrl+++Alt++F5", { "Ctrl", "Alt", "F5" } }, WordsCase { "+ctrl+ALT+f5+", { "ctrl", "ALT", "f5" } },
        WordsCase { "a+b+c+d", { "a", "b", "c" } }, WordsCase { "garbage", { "garbage" } }),
    [](const auto &info) { return testName(info.param.stored.toStdString()); });

class HotKeyShownWords : public testing::TestWithParam<WordsCase> { };

TEST_P(HotKeyShownWords, AsEachListSpellsThem)
{
    EXPECT_EQ(hk::shownWords(GetParam().stored), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(Table, HotKeyShownWords,
    testing::Values(WordsCase { "", { "None", "None", "None" } }, WordsCase { "Ctrl+Alt+F5", { "Ctrl", "Alt", "F5" } },
        WordsCase { "ctrl+ALT+f5", { "Ctrl", "Alt", "F5" } }, WordsCase { "Ctrl+Alt", { "Ctrl", "Alt", "" } },
        WordsCase { "Alt+Ctrl+F5", { "", "Ctrl", "F5" } }, WordsCase { "Shift+None+Ctrl", { "Shift", "None", "" } },
        WordsCase { "++", { "", "", "" } }, WordsCase { "garbage", { "", "", "" } }),
    [](const auto &info) { return testName(info.param.stored.toStdString()); });

struct ParseCase {
    const char *name;
    QString text;
    QKeyCombination combination;
};

class HotKeyParse : public testing::TestWithParam<ParseCase> { };

TEST_P(HotKeyParse, ModifierPrefixesThenOneKeyName)
{
    EXPECT_EQ(hk::parseShortcut(GetParam().text), GetParam().combination);
}

INSTANTIATE_TEST_SUITE_P(Table, HotKeyParse,
    testing::Values(ParseCase { "LowerCase", "ctrl+alt+f5", Qt::CTRL | Qt::ALT | Qt::Key_F5 },
        ParseCase { "AnyOrder", "ALT+Ctrl+F5", Qt::CTRL | Qt::ALT | Qt::Key_F5 },
        ParseCase { "AllThree", "Alt+Shift+Ctrl+Q", Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_Q },
        ParseCase { "RepeatedPrefix", "Shift+shift+a", Qt::SHIFT | Qt::Key_A },
        ParseCase { "LowerLetter", "z", QKeyCombination(Qt::Key_Z) },
        ParseCase { "AltKey", "Ctrl+Alt", Qt::CTRL | Qt::Key_Alt }, ParseCase { "Empty", "", noKey },
        ParseCase { "PrefixOnly", "Ctrl+", noKey }, ParseCase { "PlusAlone", "+", noKey },
        ParseCase { "UnknownKey", "Ctrl+Foo", noKey }, ParseCase { "Garbage", "#%garbage", noKey },
        ParseCase { "OtherModifier", "Meta+A", noKey }, ParseCase { "TwoKeys", "Ctrl+A,B", noKey },
        ParseCase { "Blanks", "Ctrl+ A", noKey }, ParseCase { "TwoKeyNames", "Ctrl+F5+F6", noKey }),
    [](const auto &info) { return testName(info.param.name); });
