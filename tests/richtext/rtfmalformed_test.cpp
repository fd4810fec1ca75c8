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
    // What was read is written so that it reads back the same.
    QTextDocument back;
    tl::rtf::readDocument(tl::rtf::writeDocument(doc).toStdString(), back);
    EXPECT_EQ(back.toPlainText(), c.text);
}

std::string manyCells(int n)
{
    std::string s = "{\\rtf1\\trowd\\cellx100\\intbl ";
    for (int i = 0; i < n; ++i)
        s += "c" + std::to_string(i) + "\\cell ";
    return s + "\\row}";
}

QString manyCellsText(int n)
{
    QString s = QStringLiteral("\n");
    for (int i = 0; i < n; ++i)
        s += QStringLiteral("c%1\n").arg(i);
    return s;
}

std::string nestedFields(int depth)
{
    std::string s = "{\\rtf1 ";
    for (int i = 0; i < depth; ++i)
        s += "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt ";
    s += "x";
    for (int i = 0; i < depth; ++i)
        s += "}}";
    return s + "}";
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
        BrokenCase{"NulInsideText", std::string("{\\rtf1 a\0b}", 11), "ab"},
        BrokenCase{"HugePictureSizes",
                   "{\\rtf1 a{\\pict\\pngblip\\picw2147483647\\pich99999999999\\picwgoal2147483647\\pichgoal-5"
                   "\\picscalex99999 0011}b}",
                   QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"HugeObjectSizes", "{\\rtf1 a{\\object\\objw2147483647\\objh2147483647\\objscaley-9{\\result{\\pict"
                                      "\\wmetafile8\\picwgoal99999999 00}}}b}",
                   QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"PictureNeverClosed", "{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0", "a"},
        BrokenCase{"PictureHexOddAndJunk", "{\\rtf1 a{\\pict\\pngblip 8950zz4e4}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"BinPastTheEndInPicture", "{\\rtf1 a{\\pict\\pngblip\\bin999999 xyz", "a"},
        BrokenCase{"BinHugeInPicture", "{\\rtf1 a{\\pict\\wmetafile8\\bin99999999999 xy}b}", "a"},
        BrokenCase{"BinHugeInObject", "{\\rtf1 a{\\object{\\*\\objdata\\bin2147483647 xy}}b}", "a"},
        BrokenCase{"BinNegativeInPicture", "{\\rtf1 a{\\pict\\wmetafile8\\bin-5 00}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"BinInTextBeforeAPicture", "{\\rtf1 a\\bin2 {}{\\pict\\pngblip 00}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"PictureInPicture", "{\\rtf1 a{\\pict\\pngblip{\\pict\\jpegblip 00}00}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"ObjectInObject", "{\\rtf1 a{\\object{\\object x}{\\result{\\pict 00}}}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"ResultOutsideAnObject", "{\\rtf1 a{\\result{\\pict 00}x}b}", "ab"},
        BrokenCase{"ObjectNeverClosed", "{\\rtf1 a{\\object{\\*\\objdata 01}{\\result{\\pict\\pngblip 00", "a"},
        BrokenCase{"PictureAsTheDocumentGroup", "{\\rtf1\\pict\\pngblip 00}x", QString::fromUtf8("\uFFFC")},
        BrokenCase{"FontTableInsideAKeptGroup",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}}\\f0 a{\\pict\\wmetafile8{\\fonttbl{\\f0\\fcharset204 B;}}00}\\'ff}",
                   QString::fromUtf8("a\uFFFC\u00FF")},
        BrokenCase{"PictureAfterTextInItsGroup", "{\\rtf1 {a\\pict\\wmetafile8 00}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"ObjectAfterTextInItsGroup", "{\\rtf1 {a\\object{\\result{\\pict 00}}}b}", QString::fromUtf8("a\uFFFCb")},
        BrokenCase{"PictureInHiddenText", "{\\rtf1 a{\\v{\\pict\\pngblip 00}}b}", "ab"},
        BrokenCase{"FieldInstructionNeverClosed", "{\\rtf1 a{\\field{\\*\\fldinst HYPERLINK \"x", "a"},
        BrokenCase{"LongFieldInstruction",
                   "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"" + std::string(100000, 'x') + "\"}{\\fldrslt l}}}", "l"},
        BrokenCase{"DeepFields", nestedFields(1500), "x"},
        BrokenCase{"CellsBeyondTheMostARowKeeps", manyCells(100), manyCellsText(100)},
        BrokenCase{"RowWithoutCells", "{\\rtf1 a\\row b}", "a\nb"},
        BrokenCase{"CellWithoutATable", "{\\rtf1 a\\cell b}", "\na\nb"},
        BrokenCase{"TableParagraphNeverEnded", "{\\rtf1 \\intbl a\\par}", "\na\n"},
        BrokenCase{"TableNeverClosed", "{\\rtf1\\trowd\\cellx9999999999\\intbl a\\cell b", "\na\nb\n"},
        BrokenCase{"RowsInSkippedText", "{\\rtf1 x{\\*\\zz\\intbl a\\cell\\row}y}", "xy"}),
    [](const auto &info) { return std::string(info.param.name); });

// Random soups of the words that make paragraphs, tables, pictures, fields
// and lists: the plain text and the document agree, and what is written
// reads back to the same text and is written the same again.
TEST(ReaderSoup, SinksAgreeAndWritingIsStable)
{
    static const char *const kTokens[] = {
        "{", "}", "\\par ", "\\pard ", "\\intbl ", "\\cell ", "\\row ", "\\trowd ", "\\cellx1000 ", "\\trgaph50 ",
        "\\clbrdrt\\brdrs ", "\\nestcell ", "\\nestrow ", "a", "b ", "\\tab ", "\\line ", "\\'e9", "\\u1055?",
        "{\\pict\\pngblip\\picw4 00}", "{\\pict\\wmetafile8\\picwgoal300 01}", "{\\object{\\result{\\pict\\pngblip 00}}}",
        "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt ", "{\\field{\\*\\fldinst PAGE}{\\fldrslt ", "\\v ", "\\v0 ",
        "{\\pntext\\'B7\\tab}", "{\\*\\pn\\pnlvlblt}", "\\li720 ", "\\fi-360 ", "\\qc ", "\\b ", "\\fs40 ",
        "\\bin2 xy", "{\\*\\zz ", "\\sa120 "};
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 2000; ++round) {
        std::string rtf = "{\\rtf1\\ansi ";
        const int n = 10 + int(next() % 80);
        for (int i = 0; i < n; ++i)
            rtf += kTokens[next() % std::size(kTokens)];
        if (next() % 2)
            rtf += "}";
        SCOPED_TRACE(rtf);
        QTextDocument doc;
        tl::rtf::readDocument(rtf, doc);
        const QString text = doc.toPlainText();
        ASSERT_EQ(tl::rtf::toPlainText(rtf), text);
        const QByteArray written = tl::rtf::writeDocument(doc);
        QTextDocument back;
        tl::rtf::readDocument(written.toStdString(), back);
        ASSERT_EQ(back.toPlainText(), text) << written.toStdString();
        ASSERT_EQ(tl::rtf::toPlainText(written.toStdString()), text);
        ASSERT_EQ(tl::rtf::writeDocument(back), written);
    }
}

} // namespace
