// Checklist paragraphs as text: the list on and off, a box ticked and
// opened again.

#include "spell/checklist.h"

#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

using namespace tl::checklist;

const QString open = QString(QChar(Open)) + QLatin1Char(' ');
const QString ticked = QString(QChar(Ticked)) + QLatin1Char(' ');

struct ListCase {
    const char *name;
    QString before;
    int from, to;  // the selection
    QString after;
};

class ToggleListTest : public testing::TestWithParam<ListCase> {};

TEST_P(ToggleListTest, BoxesEveryParagraphOfTheSelectionOrNone)
{
    const ListCase &c = GetParam();
    QTextDocument doc;
    doc.setPlainText(c.before);
    QTextCursor cursor(&doc);
    cursor.setPosition(c.from);
    cursor.setPosition(c.to, QTextCursor::KeepAnchor);
    toggleList(cursor);
    EXPECT_EQ(doc.toPlainText(), c.after);
    // One step of undo brings it all back.
    doc.undo();
    EXPECT_EQ(doc.toPlainText(), c.before);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ToggleListTest,
    testing::Values(ListCase{"Caret", "milk\nbread", 2, 2, open + "milk\nbread"},
                    ListCase{"TwoParagraphs", "milk\nbread\neggs", 1, 7, open + "milk\n" + open + "bread\neggs"},
                    ListCase{"AllBoxedLoseTheirs", open + "milk\n" + ticked + "bread", 0, 10, "milk\nbread"},
                    ListCase{"SomeBoxedAllGetOne", ticked + "milk\nbread", 0, 9, ticked + "milk\n" + open + "bread"},
                    ListCase{"BoxWithoutSpace", QString(QChar(Open)) + "milk", 0, 0, "milk"},
                    ListCase{"EmptyParagraph", "", 0, 0, open}),
    [](const testing::TestParamInfo<ListCase> &i) { return std::string(i.param.name); });

TEST(ToggleBoxTest, TicksAndOpensTheBoxOfTheParagraphOnly)
{
    QTextDocument doc;
    doc.setPlainText(open + "milk\n" + open + "bread\nplain");
    const int bread = doc.findBlockByNumber(1).position();
    EXPECT_TRUE(toggleBox(&doc, bread + 4));
    EXPECT_EQ(doc.toPlainText(), open + "milk\n" + ticked + "bread\nplain");
    EXPECT_TRUE(toggleBox(&doc, bread));
    EXPECT_EQ(doc.toPlainText(), open + "milk\n" + open + "bread\nplain");
    EXPECT_FALSE(toggleBox(&doc, doc.findBlockByNumber(2).position() + 1));
    EXPECT_EQ(doc.toPlainText(), open + "milk\n" + open + "bread\nplain");
}

TEST(ToggleBoxTest, KeepsTheFormatOfTheBox)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(open + "milk", bold);
    ASSERT_TRUE(toggleBox(&doc, 0));
    QTextCursor at(&doc);
    at.setPosition(1);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
}

TEST(IsBoxAtTest, OnlyTheFirstCharacterOfABoxedParagraph)
{
    QTextDocument doc;
    doc.setPlainText(open + "a " + QChar(Open) + "\nplain");
    EXPECT_TRUE(isBoxAt(&doc, 0));
    EXPECT_FALSE(isBoxAt(&doc, 1));
    EXPECT_FALSE(isBoxAt(&doc, 4));  // a box inside the text
    EXPECT_FALSE(isBoxAt(&doc, 6));
    EXPECT_EQ(boxOf(u"\u2611 x"), Ticked);
    EXPECT_EQ(boxOf(u"x \u2610"), 0);
}

} // namespace
