// Paragraph indents and spacing: each row is a note's paragraphs as RTF. A
// load and a save give back the same \li, \ri, \fi, \sb and \sa, bulleted or
// not, and the loaded text starts where the indents put it.

#include "richtext/rtfdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct IndentCase {
    const char *name;
    std::string body;
    // Pieces the written RTF holds, in this order.
    std::vector<std::string> written;
    // Where each paragraph's first line of text starts, in twips from an
    // unindented one.
    std::vector<int> textStart;
};

void PrintTo(const IndentCase &c, std::ostream *os) { *os << c.name; }

const std::string kHead = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                          "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n\\viewkind4\\uc1";
const std::string kBullet = "{\\pntext\\f1\\'B7\\tab}";
const std::string kPn = "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}";
// The first run's format follows the paragraph's words.
const std::string kFirst = "\\f0\\fs24 ";

class Indents : public ::testing::TestWithParam<IndentCase> {};

TEST_P(Indents, SurviveALoadAndASave)
{
    const IndentCase &c = GetParam();
    QTextDocument doc;
    tl::rtf::readDocument(kHead + c.body + "}", doc);
    const std::string out = tl::rtf::writeDocument(doc).toStdString();
    std::size_t at = 0;
    for (const std::string &piece : c.written) {
        const std::size_t found = out.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing " << piece << " after " << at << " in " << out;
        at = found + piece.size();
    }

    // A second trip changes nothing.
    QTextDocument again;
    tl::rtf::readDocument(out, again);
    EXPECT_EQ(tl::rtf::writeDocument(again).toStdString(), out);

    // The layout: each first line starts where the indents say.
    doc.setTextWidth(2000);
    doc.documentLayout()->documentSize();
    const qreal origin = doc.documentMargin();
    std::vector<int> starts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextLine line = b.layout()->lineAt(0);
        const qreal x = doc.documentLayout()->blockBoundingRect(b).left() + line.x();
        starts.push_back(int(std::lround((x - origin) * 15)));
    }
    EXPECT_EQ(starts, c.textStart);
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, Indents,
    ::testing::Values(
        IndentCase{"PlainIndented", "\\pard\\li720\\ri360\\fi-180 x\\par\\pard y\\par",
                   {"\\pard\\li720\\ri360\\fi-180" + kFirst + "x\\par", "\\pard y\\par"}, {540, 0}},
        IndentCase{"BulletsAsTheRichEditControlWritesThem",
                   "\\pard" + kBullet + kPn + "\\fi-720\\li720 one\\par" + kBullet + "two\\par\\pard after\\par",
                   {"\\pard" + kBullet + kPn + "\\fi-720\\li720" + kFirst + "one\\par", kBullet + "two\\par",
                    "\\pard after\\par"},
                   {720, 720, 0}},
        IndentCase{"BulletsAtTheDefaultIndent", "\\pard" + kBullet + kPn + "\\fi-360\\li360 one\\par",
                   {kPn + "\\fi-360\\li360" + kFirst + "one\\par"}, {360}},
        IndentCase{"BulletWithoutIndents", "\\pard" + kBullet + kPn + "one\\par",
                   {kPn + kFirst + "one\\par"}, {360}},
        IndentCase{"NestedBullets",
                   "\\pard" + kBullet + kPn + "\\fi-360\\li720 one\\par\\pard" + kBullet + kPn
                       + "\\fi-360\\li1440 inner\\par\\pard" + kBullet + kPn + "\\fi-360\\li720 two\\par",
                   {"\\fi-360\\li720" + kFirst + "one\\par", "\\fi-360\\li1440 inner\\par", "\\fi-360\\li720 two\\par"},
                   {720, 1440, 720}},
        IndentCase{"BulletWithRightIndentAndSpacing",
                   "\\pard" + kBullet + kPn + "\\fi-720\\li720\\ri1440\\sb120\\sa240 one\\par",
                   {kPn + "\\fi-720\\li720\\ri1440\\sb120\\sa240" + kFirst + "one\\par"}, {720}},
        IndentCase{"SpacingAlone", "\\pard\\sb120\\sa200 x\\par\\pard\\sa200 y\\par",
                   {"\\pard\\sb120\\sa200" + kFirst + "x\\par", "\\pard\\sa200 y\\par"}, {0, 0}},
        IndentCase{"HangingPlainParagraph", "\\pard\\fi-360\\li1080 x\\par", {"\\pard\\li1080\\fi-360" + kFirst + "x\\par"}, {720}}),
    [](const auto &info) { return std::string(info.param.name); });

// A bullet the editor's own command adds is written at the default indent.
TEST(IndentsOfNewBullets, WrittenAtTheDefaultIndent)
{
    QTextDocument doc;
    tl::rtf::readDocument(kHead + "\\pard\\li720 x\\par}", doc);
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    list.setIndent(1);
    c.insertBlock(QTextBlockFormat());
    c.createList(list);
    c.insertText(QStringLiteral("new"));
    const std::string out = tl::rtf::writeDocument(doc).toStdString();
    EXPECT_NE(out.find("\\pard\\li720" + kFirst + "x\\par"), std::string::npos) << out;
    EXPECT_NE(out.find(kPn + "\\fi-360\\li360 new\\par"), std::string::npos) << out;
}

} // namespace
