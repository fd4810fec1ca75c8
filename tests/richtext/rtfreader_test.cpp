// The reader's text: every input below is read both into a document and
// straight to plain text, and both must give the expected text.

#include "richtext/rtfdocument.h"

#include <QTextDocument>
#include <gtest/gtest.h>

#include <string>

namespace {

struct TextCase {
    const char *name;
    std::string rtf;
    QString text;
};

void PrintTo(const TextCase &c, std::ostream *os) { *os << c.name; }

QString documentText(const std::string &rtf)
{
    QTextDocument doc;
    tl::rtf::readDocument(rtf, doc);
    return doc.toPlainText();
}

class ReaderText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReaderText, PlainTextAndDocumentAgree)
{
    const TextCase &c = GetParam();
    EXPECT_EQ(tl::rtf::toPlainText(c.rtf), c.text);
    EXPECT_EQ(documentText(c.rtf), c.text);
}

const char *const kHead = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 Arial;}})";

std::string doc(const std::string &body) { return kHead + body + "}"; }

INSTANTIATE_TEST_SUITE_P(
    Text, ReaderText,
    ::testing::Values(
        TextCase{"Empty", "{\\rtf1}", ""},
        TextCase{"FinalParIsTheLastParagraphMark", doc(R"(\pard\f0\fs20 one\par
})"), "one"},
        TextCase{"TwoParagraphs", doc(R"(one\par two\par)"), "one\ntwo"},
        TextCase{"EmptyParagraphsKept", doc(R"(one\par\par\par)"), "one\n\n"},
        TextCase{"NoFinalPar", doc(R"(one\par two)"), "one\ntwo"},
        TextCase{"LineBreakTabAndNamedCharacters",
                 doc(R"(a\line b\tab c\emdash\endash\bullet\lquote\rquote\ldblquote\rdblquote)"),
                 QString::fromUtf8("a\nb\tc\u2014\u2013\u2022\u2018\u2019\u201C\u201D")},
        TextCase{"NoBreakSpaceReadsAsSpaceHyphens", doc(R"(a\~b\_c\-d)"),
                 QString::fromUtf8("a b\u2011cd")},
        TextCase{"EscapedSymbols", doc(R"(\{a\}\\)"), "{a}\\"},
        TextCase{"ControlWordDelimiterSpaceEaten", doc(R"(\b bold\b0  two)"), "bold two"},
        TextCase{"ControlWordFollowedByText", doc(R"(\b1bold\b0 x\par\pard y)"), "boldx\ny"},
        TextCase{"LineEndsInTextIgnored", doc("ab\r\ncd\nef"), "abcdef"},
        TextCase{"BackslashNewlineIsPar", doc("ab\\\ncd"), "ab\ncd"},
        TextCase{"Cp1252Escapes", doc(R"(caf\'e9 \'80 \'93q\'94)"),
                 QString::fromUtf8("café € “q”")},
        TextCase{"Cp1251Document",
                 R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fnil\fcharset1 Arial;}}\f0 \'cf\'f0\'e8\'e2\'e5\'f2 Hi})",
                 QString::fromUtf8("Привет Hi")},
        TextCase{"FontCharsetOverridesCodePage",
                 R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 Arial;}{\f1\fnil\fcharset204 Arial CYR;}}\f0\'e9\f1\'e9\f0\'e9})",
                 QString::fromUtf8("éйé")},
        TextCase{"Cp1250Cp1253Cp1255",
                 R"({\rtf1\ansi\deff0{\fonttbl{\f0\fcharset238 A;}{\f1\fcharset161 B;}{\f2\fcharset177 C;}}\f0\'9a\f1\'e1\f2\'e0})",
                 QString::fromUtf8("šαא")},
        TextCase{"ShiftJisPairs",
                 R"({\rtf1\ansi\ansicpg932\deff0{\fonttbl{\f0\fcharset128 MS Gothic;}}\f0\'82\'a0\'82\'a2})",
                 QString::fromUtf8("あい")},
        TextCase{"GbkPairWithRawTrailByte",
                 R"({\rtf1\ansi\ansicpg936{\fonttbl{\f0\fcharset134 SimSun;}}\f0\'c4\'e3\'ba\'c3 \'b0A})",
                 QString::fromUtf8("你好 癆")},
        TextCase{"Big5AndHangul",
                 R"({\rtf1\ansi{\fonttbl{\f0\fcharset136 MingLiU;}{\f1\fcharset129 Gulim;}}\f0\'a4\'a4\f1\'c7\'d1})",
                 QString::fromUtf8("中한")},
        TextCase{"ThaiCp874", R"({\rtf1\ansi\ansicpg874 \'a1})", QString::fromUtf8("ก")},
        TextCase{"CodePageZeroIs1252", R"({\rtf1\ansi\ansicpg0 \'e9})", QString::fromUtf8("é")},
        TextCase{"UnknownCodePageIs1252", R"({\rtf1\ansi\ansicpg4242 \'e9})", QString::fromUtf8("é")},
        TextCase{"UnicodeWithFallback", doc(R"(\u1055?\u1088?ok)"), QString::fromUtf8("Прok")},
        TextCase{"UnicodeFallbackAsHexEscape", doc(R"(\u1055\'3f\u1088\'f0!)"),
                 QString::fromUtf8("Пр!")},
        TextCase{"Uc0HasNoFallback", doc(R"(\uc0\u1055 x)"), QString::fromUtf8("Пx")},
        TextCase{"Uc2SkipsTwo", doc(R"(\uc2\u1055\'cf\'cfx)"), QString::fromUtf8("Пx")},
        TextCase{"UcIsGroupScoped", doc(R"({\uc0\u1055 }\u1088?x)"), QString::fromUtf8("Прx")},
        TextCase{"NegativeUnicode", doc(R"(\u-3?)"), QString::fromUtf8("\uFFFD")},
        TextCase{"SurrogatePairWithFallback", doc(R"(\u-10179?\u-8704?)"),
                 QString::fromUtf8("😀")},
        TextCase{"SurrogatePairWithoutFallback", doc(R"(\u55357\u56832?x)"),
                 QString::fromUtf8("😀x")},
        TextCase{"LoneSurrogatesReplaced", doc(R"(\u55357?a\u56832?)"),
                 QString::fromUtf8("\uFFFDa\uFFFD")},
        TextCase{"BulletTextNotShown",
                 doc(R"(\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'B7}}\fi-720\li720 one\par{\pntext\f1\'B7\tab}two\par)"),
                 "one\ntwo"},
        TextCase{"WordListTextNotShown",
                 doc(R"({\listtext\pard\plain\f3\'b7\tab}\ls1\ilvl0 item\par)"), "item"},
        TextCase{"StarredUnknownDestinationSkipped",
                 doc(R"({\*\generator Riched20 10.0;}{\*\unknownthing {nested} text}ok)"), "ok"},
        TextCase{"KnownDestinationsSkipped",
                 doc(R"({\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}}{\header H}{\footnote F}ok)"),
                 "ok"},
        TextCase{"UnknownControlWordsIgnored", doc(R"(\nouicompat\sa200\sl276\slmult1\lang9\highlight2\cb3 a\zzzz99 b)"),
                 "ab"},
        TextCase{"PictureIsOneObjectCharacter", doc(R"(a{\pict\wmetafile8\picw100 0a0b0c{\*\blipuid 1}}b)"),
                 QString::fromUtf8("a\uFFFCb")},
        TextCase{"BinaryInPictureHoldsBraces", doc("a{\\pict\\bin5 }{\\}x}b"), QString::fromUtf8("a\uFFFCb")},
        TextCase{"BinaryOutsidePicture", doc("a\\bin3 xyzb"), "ab"},
        TextCase{"ObjectIsOneObjectCharacter",
                 doc(R"(a{\object\objemb{\*\objclass Paint}{\*\objdata 0102}{\result{\pict 00}hidden}}b)"),
                 QString::fromUtf8("a\uFFFCb")},
        TextCase{"ShapeTextSkipped", doc(R"(a{\shp{\*\shpinst{\sp{\sn x}{\sv 1}}{\shptxt box}}}b)"), "ab"},
        TextCase{"FieldShowsResult",
                 doc(R"(see {\field{\*\fldinst{HYPERLINK "http://example.com"}}{\fldrslt{\ul\cf1 example}}} now)"),
                 "see example now"},
        TextCase{"FieldInstructionWithoutStar", doc(R"({\field{\fldinst PAGE}{\fldrslt 7}})"), "7"},
        TextCase{"HiddenTextLeftOut", doc(R"(a{\v secret}b\v c\v0 d)"), "abd"},
        // A table at the start has an empty paragraph before it, each cell
        // is a paragraph, and a short row is made up with empty cells.
        TextCase{"TableCellsAreParagraphs",
                 doc(R"(\trowd\cellx1000\cellx2000\pard\intbl a\cell b\cell\row\trowd\pard\intbl c\cell\cell d\cell\row after\par)"),
                 "\na\nb\n\nc\n\nd\nafter"},
        TextCase{"PageAndSectionBreaksEndParagraphs", doc(R"(a\page b\sect c)"), "a\nb\nc"},
        TextCase{"NulAndTextAfterFinalBrace", std::string("{\\rtf1 ok\\par\r\n}\r\n\0garbage", 26),
                 "ok"},
        TextCase{"StrayControlBytesIgnored", doc(std::string("a\x01\x7f" "b\tc", 6)),
                 QString::fromUtf8("a\x7f" "b\tc")},
        TextCase{"FontTableWithoutGroups",
                 R"({\rtf1\ansi{\fonttbl\f0\fswiss Arial;\f1\fcharset204 Cyr;}\f1 \'e0})",
                 QString::fromUtf8("а")},
        TextCase{"MacRomanDocument", R"({\rtf1\mac \'8e})", QString::fromUtf8("é")},
        TextCase{"TextEditShape",
                 "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n\\cocoatextscaling0\\cocoaplatform0"
                 "{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n{\\colortbl;\\red255\\green255\\blue255;}\n"
                 "{\\*\\expandedcolortbl;;}\n\\paperw11900\\paperh16840\\margl1440\\margr1440\\vieww11520"
                 "\\viewh8400\\viewkind0\n\\pard\\tx566\\tx1133\\pardirnatural\\partightenfactor0\n\n"
                 "\\f0\\fs24 \\cf0 Line one\\\nLine two \\uc0\\u8364 }",
                 QString::fromUtf8("Line one\nLine two €")}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
