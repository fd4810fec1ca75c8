// Links in a note: a HYPERLINK field's result keeps its target, read into
// the document as an anchor and written back as the same field.

#include "richtext/content.h"
#include "richtext/rtfdocument.h"
#include "richtext/samples.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tl::rtf;
using rtftest::kHead;

struct LinkCase {
    const char *name;
    std::string field;
    QString target; // empty: not a link
    std::string written;
};

void PrintTo(const LinkCase &c, std::ostream *os) { *os << c.name; }

class Links : public ::testing::TestWithParam<LinkCase> {};

TEST_P(Links, KeepTheirTarget)
{
    const LinkCase &c = GetParam();
    QTextDocument doc;
    readDocument(kHead + "see " + c.field + " now\\par}", doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("see the site now"));
    QTextCursor at(&doc);
    at.setPosition(6);
    EXPECT_EQ(at.charFormat().anchorHref(), c.target);
    EXPECT_EQ(at.charFormat().isAnchor(), !c.target.isEmpty());
    const std::string out = writeDocument(doc).toStdString();
    EXPECT_NE(out.find("see " + c.written + " now"), std::string::npos) << out;
    QTextDocument back;
    readDocument(out, back);
    EXPECT_EQ(rtftest::contentOf(back), rtftest::contentOf(doc));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, Links,
    ::testing::Values(
        LinkCase{"RichEditShape", R"({\field{\*\fldinst{HYPERLINK "https://example.org/a?b=1&c"}}{\fldrslt{\ul\cf1 the site}}})",
                 "https://example.org/a?b=1&c",
                 R"({\field{\*\fldinst{HYPERLINK "https://example.org/a?b=1&c"}}{\fldrslt{\cf1\ul the site}}})"},
        LinkCase{"Unquoted", R"({\field{\*\fldinst HYPERLINK https://example.org/ }{\fldrslt the site}})",
                 "https://example.org/", R"({\field{\*\fldinst{HYPERLINK "https://example.org/"}}{\fldrslt{the site}}})"},
        LinkCase{"WordWithSwitches",
                 R"({\field{\*\fldinst {\rtlch HYPERLINK "http://x.example/" \\o "tip" \\t "_blank"}{\*\datafield 00d0c9}}{\fldrslt {the site}}})",
                 "http://x.example/", R"({\field{\*\fldinst{HYPERLINK "http://x.example/"}}{\fldrslt{the site}}})"},
        LinkCase{"PlaceInTheDocument", R"({\field{\*\fldinst{HYPERLINK \\l "chapter 2"}}{\fldrslt the site}})", "#chapter 2",
                 R"({\field{\*\fldinst{HYPERLINK \\l "chapter 2"}}{\fldrslt{the site}}})"},
        LinkCase{"BackslashesAndQuotesInTheTarget",
                 R"({\field{\*\fldinst{HYPERLINK "file:///C:\\\\notes\\\\a \\"b\\".txt"}}{\fldrslt the site}})",
                 "file:///C:\\notes\\a \"b\".txt",
                 R"({\field{\*\fldinst{HYPERLINK "file:///C:\\\\notes\\\\a \\"b\\".txt"}}{\fldrslt{the site}}})"},
        LinkCase{"UnicodeInTheTarget", R"({\field{\*\fldinst{HYPERLINK "https://example.org/\u1078?"}}{\fldrslt the site}})",
                 QString::fromUtf8("https://example.org/\u0436"),
                 R"({\field{\*\fldinst{HYPERLINK "https://example.org/\u1078?"}}{\fldrslt{the site}}})"},
        LinkCase{"OtherFieldsShowTheirResult", R"({\field{\*\fldinst{PAGE}}{\fldrslt the site}})", {}, "the site"},
        LinkCase{"EmptyTarget", R"({\field{\*\fldinst{HYPERLINK ""}}{\fldrslt the site}})", {}, "the site"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
