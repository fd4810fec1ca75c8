// Broken input: every row returns, gives the text up to the damage, and
// the document and the plain text agree.

#include "richtext/rtfdocument.h"

#include <QTextDocument>
#include <gtest/gtest.h>

#include <string>

namespace {

struct BrokenCase {
    const char *name;
    std::string rtf;
    QString text;
};

void PrintTo(const BrokenCase &c, std::ostream *os) { *os << c.name; }

std::string nested(int depth, const std::string &inner, bool closed)
{
    std::string s = "{\\rtf1 a";
    s.append(std::size_t(depth), '{');
    s += inner;
    if (closed)
        s.append(std::size_t(depth), '}');
    return s + (closed ? "b}" : "");
}

class ReaderBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(ReaderBroken, ReturnsTextUpToTheDamage)
{
    const BrokenCase &c = GetParam();
    EXPECT_EQ(tl::rtf::toPlainText(c.rtf), c.text);
    QTextDocument doc;
    tl::rtf::readDocument(c.rtf, doc);
    EXPECT_EQ(doc.toPlainText(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Broken, ReaderBroken,
    ::testing::Values(
        BrokenCase{"EmptyInput", "", ""},
        BrokenCase{"NotRtfAtAll", "hello", "hello"},
        BrokenCase{"OnlyOpenBrace", "{", ""},
        BrokenCase{"UnclosedGroups", "{\\rtf1 one\\par two{\\b three", "one\ntwothree"},
        BrokenCase{"ExtraClosingBraceEndsDocument", "{\\rtf1 one}} two}", "one"},
        BrokenCase{"ClosingBraceFirst", "}{\\rtf1 x}", ""},
        BrokenCase{"TruncatedControlWord", "{\\rtf1 ab\\pa", "ab"},
        BrokenCase{"TruncatedAfterBackslash", "{\\rtf1 ab\\", "ab"},
        BrokenCase{"TruncatedHexEscape", "{\\rtf1 ab\\'e", "ab"},
        BrokenCase{"HexEscapeWithoutDigits", "{\\rtf1 ab\\'zz}", "abzz"},
        BrokenCase{"TruncatedUnicodeSkip", "{\\rtf1 a\\u1055", QString::fromUtf8("aП")},
        BrokenCase{"HugeNumbers", "{\\rtf1\\fs99999999999999999999 a\\li-99999999999999 b\\cf-5 c}", "abc"},
        BrokenCase{"UnicodeOutOfRange", "{\\rtf1 a\\u99999999 b\\u-99999 c}", "a"},
        BrokenCase{"NegativeUc", "{\\rtf1\\uc-5\\u1055 x}", QString::fromUtf8("Пx")},
        BrokenCase{"HugeUc", "{\\rtf1\\uc999999999\\u1055 xyz}b", QString::fromUtf8("П")},
        BrokenCase{"BinLengthPastEnd", "{\\rtf1 a\\bin999999999 xyz", "a"},
        BrokenCase{"BinNegativeLength", "{\\rtf1 a\\bin-5 b}", "ab"},
        BrokenCase{"LongControlWord", "{\\rtf1 a\\" + std::string(5000, 'x') + " b}", "ab"},
        BrokenCase{"LongNumber", "{\\rtf1 a\\fs" + std::string(5000, '9') + " b}", "ab"},
        BrokenCase{"DeepNesting", nested(100000, "x", true), "axb"},
        BrokenCase{"DeepNestingUnclosed", nested(100000, "x", false), "ax"},
        BrokenCase{"DeepSkippedDestination", nested(100000, "{\\*\\zz y}", true), "ab"},
        BrokenCase{"FontTableNeverClosed", "{\\rtf1{\\fonttbl{\\f0 Arial;}", ""},
        BrokenCase{"FontTableWithText", "{\\rtf1{\\fonttbl junk{\\f0\\fcharset204 A}}\\f0 \\'e0}",
                   QString::fromUtf8("а")},
        BrokenCase{"ManyFonts", [] {
                       std::string s = "{\\rtf1{\\fonttbl";
                       for (int i = 0; i < 3000; ++i)
                           s += "{\\f" + std::to_string(i) + " F;}";
                       return s + "}\\f2999 ok}";
                   }(), "ok"},
        BrokenCase{"LeadByteAtEnd", "{\\rtf1\\ansicpg932 a\\'82}", "a"},
        BrokenCase{"LeadByteThenGroup", "{\\rtf1\\ansicpg932 a\\'82{b}}", "ab"},
        BrokenCase{"StarWithoutWord", "{\\rtf1 a{\\*}b}", "ab"},
        BrokenCase{"NulInsideText", std::string("{\\rtf1 a\0b}", 11), "ab"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
