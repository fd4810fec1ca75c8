// Which words of a paragraph are checked, and the script of a word.

#include "spell/words.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

using tl::spell::Script;

QStringList wordsOf(const QString &text)
{
    QStringList out;
    for (const tl::spell::Span &s : tl::spell::checkableWords(text))
        out << text.mid(s.start, s.length);
    return out;
}

struct WordsCase {
    const char *name;
    const char16_t *text;
    QStringList words;
};

class CheckableWordsTest : public testing::TestWithParam<WordsCase> {};

TEST_P(CheckableWordsTest, FindsTheWordsToCheck)
{
    const WordsCase &c = GetParam();
    EXPECT_EQ(wordsOf(QString::fromUtf16(c.text)), c.words);
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, CheckableWordsTest,
    testing::Values(
        WordsCase{"Plain", u"teh quick, brown fox!", {"teh", "quick", "brown", "fox"}},
        WordsCase{"ApostropheInside", u"don't 'quoted' it\u2019s", {"don't", "quoted", "it\u2019s"}},
        WordsCase{"Hyphenated", u"well-known", {"well", "known"}},
        WordsCase{"Digits", u"abc123 4th room 12", {"room"}},
        WordsCase{"AllCaps", u"NASA and HTML, but I and Word", {"and", "but", "I", "and", "Word"}},
        WordsCase{"WebAddresses", u"see https://exmple.org/pth and www.exmple.com.", {"see", "and"}},
        WordsCase{"MailAddress", u"write to jon.doe@exmple.org today", {"write", "to", "today"}},
        WordsCase{"AtWithoutDomain", u"meet @home", {"meet", "home"}},
        WordsCase{"Cyrillic", u"\u043a\u043e\u0448\u043a\u0430 (\u0441\u0438\u0434\u0438\u0442)",
                  {QString::fromUtf16(u"\u043a\u043e\u0448\u043a\u0430"), QString::fromUtf16(u"\u0441\u0438\u0434\u0438\u0442")}},
        WordsCase{"CheckBoxNotAWord", u"\u2610 buy milk", {"buy", "milk"}},
        WordsCase{"Empty", u"", {}}),
    [](const testing::TestParamInfo<WordsCase> &i) { return std::string(i.param.name); });

TEST(CheckableWordsTest, SpansPointIntoTheParagraph)
{
    const QString text = QStringLiteral("  hello   world");
    const auto spans = tl::spell::checkableWords(text);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0], (tl::spell::Span{2, 5}));
    EXPECT_EQ(spans[1], (tl::spell::Span{10, 5}));
}

struct ScriptCase {
    const char16_t *word;
    Script script;
};

class ScriptOfTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptOfTest, IsThatOfTheFirstLetter)
{
    EXPECT_EQ(tl::spell::scriptOf(QString::fromUtf16(GetParam().word)), GetParam().script);
}

INSTANTIATE_TEST_SUITE_P(Words, ScriptOfTest,
                         testing::Values(ScriptCase{u"quick", Script::Latin}, ScriptCase{u"\u00fcber", Script::Latin},
                                         ScriptCase{u"\u043a\u043e\u0442", Script::Cyrillic},
                                         ScriptCase{u"'\u043a\u043e\u0442", Script::Cyrillic},
                                         ScriptCase{u"\u03bb\u03cc\u03b3\u03bf\u03c2", Script::Greek},
                                         ScriptCase{u"\u6f22\u5b57", Script::Other}, ScriptCase{u"", Script::Other}));

} // namespace
