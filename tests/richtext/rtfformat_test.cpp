// The reader's formats: each row reads an RTF text into a document and
// checks the format of the first character of one probe word and of its
// paragraph.

#include "richtext/alignment.h"
#include "richtext/rtfdocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

#include <string>

namespace {

using tl::rtf::TextAttributes;

struct FormatCase {
    const char *name;
    std::string rtf;
    QString probe;
    TextAttributes attributes;
    Qt::Alignment align = Qt::AlignLeft;
    bool bullet = false;
};

void PrintTo(const FormatCase &c, std::ostream *os) { *os << c.name; }

TextAttributes attrs(const char *font, double size, QColor color = {}, bool b = false,
                     bool i = false, bool u = false, bool s = false)
{
    TextAttributes a;
    a.fontName = QString::fromUtf8(font);
    a.pointSize = size;
    a.color = color;
    a.bold = b;
    a.italic = i;
    a.underline = u;
    a.strike = s;
    return a;
}

Qt::Alignment alignmentOf(const QTextBlock &b)
{
    return tl::horizontalAlignment(b.blockFormat().alignment());
}

class ReaderFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ReaderFormat, ProbeHasFormat)
{
    const FormatCase &c = GetParam();
    QTextDocument doc;
    tl::rtf::readDocument(c.rtf, doc);
    const QTextCursor found = doc.find(c.probe, 0, QTextDocument::FindCaseSensitively);
    ASSERT_FALSE(found.isNull()) << qPrintable(doc.toPlainText());
    // The format of a character is the one a cursor after it reports.
    QTextCursor at(&doc);
    at.setPosition(found.selectionStart() + 1);
    const TextAttributes got = tl::rtf::attributesOf(at.charFormat());
    EXPECT_EQ(got.fontName, c.attributes.fontName);
    EXPECT_EQ(got.pointSize, c.attributes.pointSize);
    EXPECT_EQ(got.color, c.attributes.color);
    EXPECT_EQ(got.bold, c.attributes.bold);
    EXPECT_EQ(got.italic, c.attributes.italic);
    EXPECT_EQ(got.underline, c.attributes.underline);
    EXPECT_EQ(got.strike, c.attributes.strike);
    EXPECT_EQ(alignmentOf(at.block()), c.align);
    EXPECT_EQ(at.block().textList() != nullptr, c.bullet);
}

// Shaped like the Windows rich-edit control's output on a Cyrillic system.
const std::string kRichEdit1251 =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss\\fcharset204{\\*\\fname "
    "Arial;}Arial CYR;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset204 Tahoma;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\qc\\cf1\\b\\f0\\fs28 \\'c7\\'e0\\'e3\\'ee\\'eb\\'ee\\'e2\\'ee\\'ea\\cf0\\b0\\f2\\fs20\\par\r\n"
    "\\pard\\qr\\i Latin \\'f2\\'e5\\'ea\\'f1\\'f2\\i0\\par\r\n"
    "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720\\cf2\\ul "
    "\\'ef\\'e5\\'f0\\'e2\\'fb\\'e9\\ulnone\\cf0\\par\r\n"
    "{\\pntext\\f1\\'B7\\tab}\\strike second\\strike0\\par\r\n"
    "\\pard\\fs16 after\\par\r\n}\r\n";

const std::string kRichEdit1252 =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Caf\\'e9 \\cf1\\b\\i\\f1\\fs24 mixed\\cf0\\b0\\i0\\f0\\fs20  end\\par\r\n}\r\n";

INSTANTIATE_TEST_SUITE_P(
    Formats, ReaderFormat,
    ::testing::Values(
        FormatCase{"RichEdit1251Heading", kRichEdit1251, QString::fromUtf8("Заголовок"),
                   attrs("Arial CYR", 14, QColor(255, 0, 0), true), Qt::AlignHCenter},
        FormatCase{"RichEdit1251RightItalic", kRichEdit1251, QString::fromUtf8("текст"),
                   attrs("Tahoma", 10, {}, false, true), Qt::AlignRight},
        FormatCase{"RichEdit1251Bullet", kRichEdit1251, QString::fromUtf8("первый"),
                   attrs("Tahoma", 10, QColor(0, 128, 0), false, false, true), Qt::AlignLeft, true},
        FormatCase{"RichEdit1251BulletContinues", kRichEdit1251, "second",
                   attrs("Tahoma", 10, {}, false, false, false, true), Qt::AlignLeft, true},
        FormatCase{"RichEdit1251PardEndsBullets", kRichEdit1251, "after",
                   attrs("Tahoma", 8)},
        FormatCase{"RichEdit1252Plain", kRichEdit1252, QString::fromUtf8("Café"), attrs("Arial", 10)},
        FormatCase{"RichEdit1252Mixed", kRichEdit1252, "mixed",
                   attrs("Times New Roman", 12, QColor(0, 0, 255), true, true)},
        FormatCase{"RichEdit1252Back", kRichEdit1252, "end", attrs("Arial", 10)},
        FormatCase{"GroupRestoresFormat",
                   R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20 {\b\i\fs40 in}out})", "out", attrs("Arial", 10)},
        FormatCase{"PlainResetsToDefaultFont",
                   R"({\rtf1\deff1{\fonttbl{\f0 Arial;}{\f1 Courier;}}\f0\b\fs40 x\plain y})", "y",
                   attrs("Courier", 12)},
        FormatCase{"DefaultFontBeforeAnyF", R"({\rtf1\deff0{\fonttbl{\f0 Verdana;}} plain})", "plain",
                   attrs("Verdana", 12)},
        FormatCase{"NoFontTableLeavesFontUnset", R"({\rtf1 plain})", "plain", attrs("", 12)},
        FormatCase{"JustifiedParagraph", R"({\rtf1\pard\qj wide\par})", "wide", attrs("", 12),
                   Qt::AlignJustify},
        FormatCase{"ParagraphFormatAtItsEnd", R"({\rtf1 early\qc\par late\par})", "early",
                   attrs("", 12), Qt::AlignHCenter},
        FormatCase{"UnderlineKinds", R"({\rtf1 \uldb a\ulnone b\ulw c\ul0 d})", "c",
                   attrs("", 12, {}, false, false, true)},
        FormatCase{"AutoColourIsNoColour",
                   R"({\rtf1{\colortbl;\red1\green2\blue3;}\cf1 x\cf0 auto})", "auto", attrs("", 12)},
        FormatCase{"ColourIndexBeyondTable", R"({\rtf1{\colortbl;\red1\green2\blue3;}\cf9 far})", "far",
                   attrs("", 12)},
        FormatCase{"WordPadShape",
                   "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
                   "Calibri;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n\\pard\\sa200\\sl276"
                   "\\slmult1\\qc\\b\\f0\\fs22\\lang9 Title\\par\r\n}\r\n\\x00",
                   "Title", attrs("Calibri", 11, {}, true), Qt::AlignHCenter},
        FormatCase{"WordListParagraph",
                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f3\\fcharset2 Symbol;}}{\\*\\listtable{\\list\\listid1"
                   "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}}}\\pard\\plain\\f0\\fs24{\\listtext"
                   "\\pard\\plain\\f3\\fs24 \\u-3913\\'b7\\tab}\\ls1\\ilvl0 item\\par\\pard normal\\par}",
                   "item", attrs("Times", 12), Qt::AlignLeft, true},
        FormatCase{"LibreOfficeHyperlinkResult",
                   "{\\rtf1\\ansi\\deff4\\adeflang1025{\\fonttbl{\\f4\\fswiss\\fcharset0 Liberation Sans;}}"
                   "{\\colortbl;\\red0\\green0\\blue128;}{\\stylesheet{\\s0 Normal;}}{\\*\\generator LibreOffice};"
                   "\\pard\\plain\\f4\\fs24 see {\\field{\\*\\fldinst HYPERLINK \"https://x.org/\"}{\\fldrslt "
                   "{\\cf1\\ul\\ulc0 https://x.org/}}}\\par}",
                   "https", attrs("Liberation Sans", 12, QColor(0, 0, 128), false, false, true)}),
    [](const auto &info) { return std::string(info.param.name); });

// Empty paragraphs keep the format of their paragraph mark, so their height
// survives.
TEST(ReaderFormatMarks, EmptyParagraphKeepsMarkFormat)
{
    QTextDocument doc;
    tl::rtf::readDocument(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0\fs20 a\par\fs48\par b\par})", doc);
    ASSERT_EQ(doc.blockCount(), 3);
    EXPECT_EQ(tl::rtf::attributesOf(doc.findBlockByNumber(1).charFormat()).pointSize, 24);
}

TEST(ReaderFormatMarks, IndentsBecomeMargins)
{
    QTextDocument doc;
    tl::rtf::readDocument(R"({\rtf1\pard\li720\ri360\fi-180 x\par})", doc);
    const QTextBlockFormat f = doc.begin().blockFormat();
    EXPECT_DOUBLE_EQ(f.leftMargin(), 48);
    EXPECT_DOUBLE_EQ(f.rightMargin(), 24);
    EXPECT_DOUBLE_EQ(f.textIndent(), -12);
}

} // namespace
