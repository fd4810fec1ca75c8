// The reader's table of control words: each word is found by its own name
// and by no other, and the destinations it marks as the user's content are
// noted when a document's content is skipped.

#include "richtext/rtfdocument.h"
#include "richtext/rtfkeywords.h"
#include "richtext/rtfreader.h"
#include "richtext/samples.h"

#include <QTextDocument>
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <string_view>

namespace {

using namespace tl::rtf;
using rtftest::hex;
using rtftest::kHead;
using rtftest::kWmf;
using rtftest::pict;
using rtftest::png;

// What findWord gives for text: nothing, or the word of exactly that name.
::testing::AssertionResult findsOnlyItself(const std::string &text)
{
    const Word *w = findWord(text.data(), text.size());
    if (w && std::string_view(w->name) != text)
        return ::testing::AssertionFailure() << '"' << text << "\" found as \"" << w->name << '"';
    return ::testing::AssertionSuccess();
}

TEST(KeywordTable, EachWordIsFoundByItsOwnNameAndNoOther)
{
    std::set<std::string_view> names;
    for (const Word &w : knownWords()) {
        const std::string name = w.name;
        EXPECT_TRUE(names.insert(w.name).second) << name << " twice: the second is never found";
        EXPECT_EQ(findWord(name.data(), name.size()), &w) << name;
        // Words that differ by a letter at either end, or only in case.
        EXPECT_TRUE(findsOnlyItself(name.substr(0, name.size() - 1)));
        EXPECT_TRUE(findsOnlyItself(name + "x"));
        EXPECT_TRUE(findsOnlyItself("x" + name));
        std::string upper = name;
        for (char &c : upper)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(findsOnlyItself(upper));
    }
    EXPECT_EQ(findWord("", 0), nullptr);
    EXPECT_EQ(findWord("nouicompat", 10), nullptr);
}

// ---- what the editor cannot hold: destinations marked as the user's

struct UnheldCase {
    const char *name;
    std::string body;
    unsigned bits; // unheld::
    QString text;  // what is shown all the same
    QString says;  // unheldText(bits)
};

void PrintTo(const UnheldCase &c, std::ostream *os) { *os << c.name; }

class Unheld : public ::testing::TestWithParam<UnheldCase> {};

TEST_P(Unheld, NotedWhereTheUsersContentIsSkippedOnly)
{
    const UnheldCase &c = GetParam();
    const std::string in = kHead + c.body + "\\par}";
    QTextDocument doc;
    EXPECT_EQ(readDocument(in, doc), c.bits);
    EXPECT_EQ(doc.toPlainText(), c.text);
    EXPECT_EQ(toPlainText(in), c.text);
    EXPECT_EQ(unheldText(c.bits), c.says);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, Unheld,
    ::testing::Values(
        UnheldCase{"PlainNote", "a {\\b b}", 0, "a b", ""},
        UnheldCase{"LayoutAndBookkeeping",
                   "{\\*\\generator Riched20 10.0.19041}{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
                   "{\\*\\rsidtbl \\rsid1}{\\*\\unknown words}{\\*\\bkmkstart x}a{\\*\\bkmkend x}",
                   0, "a", ""},
        UnheldCase{"WordFootnote", "a{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} The source.}b",
                   unheld::Footnotes, "ab", "footnotes"},
        UnheldCase{"FootnoteOfOnlyABookmark", "a{\\footnote{\\*\\bkmkstart x}{\\*\\bkmkend x} }b", 0, "ab", ""},
        UnheldCase{"EmptyHeaderAsWordLeavesIt", "{\\header\\pard\\plain\\par}{\\footerf \\pard\\par}a", 0, "a", ""},
        UnheldCase{"HeaderWithText", "{\\headerr\\pard\\plain Page title\\par}a", unheld::HeadersFooters, "a",
                   "headers and footers"},
        UnheldCase{"FooterWithAPicture", "{\\footer\\pard" + pict("\\pngblip", "00") + "\\par}a",
                   unheld::HeadersFooters, "a", "headers and footers"},
        UnheldCase{"FooterWithUnicodeOnly", "{\\footer\\pard\\u1078?\\par}a", unheld::HeadersFooters, "a",
                   "headers and footers"},
        UnheldCase{"WordComment",
                   "a{\\*\\atnid JD}{\\*\\atnauthor Jane}\\chatn{\\*\\annotation{\\*\\atnref 1}\\pard\\plain Check "
                   "this.}b",
                   unheld::Comments, "ab", "comments"},
        UnheldCase{"TextBox", "a{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt in a box}}}b",
                   unheld::Drawings, "ab", "drawings"},
        UnheldCase{"FloatingPicture",
                   "a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + pict("\\pngblip", "00")
                       + "}}}{\\shprslt{\\*\\do\\dobxcolumn}}}b",
                   unheld::Drawings, "ab", "drawings"},
        UnheldCase{"HiddenText", "a{\\v secret}b", unheld::HiddenText, "ab", "hidden text"},
        UnheldCase{"HiddenEscapedText", "a{\\v\\'e9}b", unheld::HiddenText, "ab", "hidden text"},
        UnheldCase{"HiddenBlanksOnly", "a{\\v  }b", 0, "ab", ""},
        UnheldCase{"HiddenPicture", "a{\\v " + pict("\\pngblip", "00") + "}b", unheld::HiddenText, "ab", "hidden text"},
        UnheldCase{"InlineWordPictureIsHeld",
                   "a{\\*\\shppict" + pict("\\pngblip", hex(png())) + "}{\\nonshppict" + pict("\\wmetafile8", kWmf) + "}b", 0,
                   QString::fromUtf8("a\uFFFCb"), ""},
        UnheldCase{"SeveralAtOnce", "{\\header x}a{\\footnote y}{\\v z}{\\*\\annotation w}",
                   unheld::Footnotes | unheld::Comments | unheld::HeadersFooters | unheld::HiddenText, "a",
                   "footnotes, comments, headers and footers and hidden text"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
