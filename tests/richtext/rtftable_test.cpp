// Tables in a note: rows and cells read into QTextTables with their
// columns and borders, written back so that a second load gives the same
// document, and the rule both sinks share for which rows make one table.

#include "richtext/content.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"
#include "richtext/samples.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tl::rtf;
using rtftest::kHead;

TEST(TableShapeRule, RowsJoinUntilMadeUpCellsOutnumberReadOnes)
{
    TableShape t;
    EXPECT_TRUE(t.join(63));
    EXPECT_TRUE(t.join(1));  // 62 made up, 64 read
    EXPECT_TRUE(t.join(1));  // 124 made up, 65 read
    EXPECT_FALSE(t.join(1)); // 186 made up, 66 read: a table of its own
    EXPECT_EQ(t.rows(), 3);
    EXPECT_EQ(t.columns(), 63);
    t.reset();
    EXPECT_TRUE(t.join(1));
    EXPECT_TRUE(t.join(3)); // the wider row widens the one before
    EXPECT_EQ(t.columns(), 3);
    EXPECT_TRUE(t.join(0)); // a row has a cell at least
    EXPECT_EQ(t.rows(), 3);
}

std::string row(const std::string &cells, const std::string &def = "\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\cellx6000")
{
    return def + "\\pard\\intbl " + cells + "\\row\r\n";
}

TEST(Tables, BecomeQTextTablesWithTheirColumns)
{
    QTextDocument doc;
    readDocument(kHead + "Before\\par\r\n" + row("Name\\cell Qty\\cell Price\\cell") + row("Apples\\cell 3\\cell\\cell")
                     + "\\pard After\\par}",
                 doc);
    ASSERT_EQ(doc.rootFrame()->childFrames().size(), 1);
    auto *table = qobject_cast<QTextTable *>(doc.rootFrame()->childFrames().first());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 2108 / 15.0));
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 2000 / 15.0));
    auto cellText = [&](int r, int c) {
        QTextCursor cur = table->cellAt(r, c).firstCursorPosition();
        cur.setPosition(table->cellAt(r, c).lastPosition(), QTextCursor::KeepAnchor);
        return cur.selectedText();
    };
    EXPECT_EQ(cellText(0, 2), QStringLiteral("Price"));
    EXPECT_EQ(cellText(1, 1), QStringLiteral("3"));
    EXPECT_EQ(cellText(1, 2), QString());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Before\nName\nQty\nPrice\nApples\n3\n\nAfter"));
    EXPECT_EQ(toPlainText(kHead + "Before\\par\r\n" + row("Name\\cell Qty\\cell Price\\cell")
                          + row("Apples\\cell 3\\cell\\cell") + "\\pard After\\par}"),
              doc.toPlainText());

    const std::string out = writeDocument(doc).toStdString();
    EXPECT_NE(out.find("Before\\par\n\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl Name\\cell "
                       "Qty\\cell Price\\cell\\row\n\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\cellx6000\\pard"
                       "\\intbl Apples\\cell 3\\cell\\cell\\row\n\\pard After\\par\n}"),
              std::string::npos)
        << out;
}

struct TableCase {
    const char *name;
    std::string body;
    QString text;
    std::vector<std::string> written; // in this order
};

void PrintTo(const TableCase &c, std::ostream *os) { *os << c.name; }

class TableShapes : public ::testing::TestWithParam<TableCase> {};

TEST_P(TableShapes, SurviveALoadAndASave)
{
    const TableCase &c = GetParam();
    const std::string in = kHead + c.body + "}";
    QTextDocument doc;
    readDocument(in, doc);
    EXPECT_EQ(doc.toPlainText(), c.text);
    EXPECT_EQ(toPlainText(in), c.text);
    const std::string out = writeDocument(doc).toStdString();
    std::size_t at = 0;
    for (const std::string &piece : c.written) {
        const std::size_t found = out.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing " << piece << " after " << at << " in " << out;
        at = found + piece.size();
    }
    QTextDocument back;
    readDocument(out, back);
    EXPECT_EQ(back.toPlainText(), c.text);
    EXPECT_EQ(toPlainText(out), c.text);
    EXPECT_EQ(rtftest::contentOf(back), rtftest::contentOf(doc));
    EXPECT_EQ(writeDocument(back).toStdString(), out);
}

std::string manyRows(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "\\trowd\\cellx1000\\pard\\intbl r" + std::to_string(i) + "\\cell" + std::string(i % 3 == 0 ? " x\\cell" : "")
             + "\\row\r\n";
    return s;
}

// A row of the most cells a row keeps, then rows of one.
std::string wideThenNarrow()
{
    std::string s = "\\trowd";
    for (int i = 1; i <= 63; ++i)
        s += "\\cellx" + std::to_string(i * 100);
    s += "\\pard\\intbl ";
    for (int i = 0; i < 63; ++i)
        s += "c\\cell ";
    s += "\\row\r\n";
    for (int i = 0; i < 4; ++i)
        s += "\\trowd\\cellx1000\\pard\\intbl n" + std::to_string(i) + "\\cell\\row\r\n";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Notes, TableShapes,
    ::testing::Values(
        TableCase{"OnlyATable", row("a\\cell b\\cell c\\cell"), "\na\nb\nc\n",
                  {"\\viewkind4\\uc1\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl\\f0\\fs22 "
                   "a\\cell b\\cell c\\cell\\row\n\\pard\\par\n}"}},
        TableCase{"CellOfParagraphsAndBullets",
                  row("two\\par lines\\cell{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt}\\fi-360\\li360 item\\par more\\cell\\pard\\intbl "
                      "x\\cell"),
                  "\ntwo\nlines\nitem\nmore\nx\n",
                  {"\\pard\\intbl\\f0\\fs22 two\\par\nlines\\cell", "\\fi-360\\li360 item\\par\n", "more\\cell\\pard\\intbl x\\cell\\row"}},
        TableCase{"ShortRowsAreMadeUpAndWrittenShort",
                  "x\\par " + row("a\\cell b\\cell") + row("c\\cell d\\cell e\\cell") + "\\pard y\\par",
                  "x\na\nb\n\nc\nd\ne\ny",
                  {"\\trleft-108\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row", "\\pard\\intbl c\\cell d\\cell e\\cell\\row"}},
        TableCase{"RowsOfTheirOwnWidths",
                  row("a\\cell b\\cell", "\\trowd\\trgaph50\\trleft0\\cellx1000\\cellx3000")
                      + row("c\\cell", "\\trowd\\cellx5000"),
                  "\na\nb\nc\n\n", {"\\trowd\\trgaph50\\trleft0\\cellx1000\\cellx3000", "\\trowd\\trgaph0\\trleft0\\cellx5000"}},
        TableCase{"BordersKept",
                  row("a\\cell", "\\trowd\\trgaph108\\trleft-108\\trbrdrt\\brdrs\\clbrdrl\\brdrw10\\brdrs\\cellx3000"),
                  "\na\n", {"\\clbrdrt\\brdrw10\\brdrs\\clbrdrl\\brdrw10\\brdrs\\clbrdrb\\brdrw10\\brdrs\\clbrdrr\\brdrw10\\brdrs\\cellx3000"}},
        TableCase{"NoBordersWhereNone",
                  "x\\par " + row("a\\cell", "\\trowd\\clbrdrt\\brdrnone\\cellx3000"), "x\na\n",
                  {"\\trowd\\trgaph0\\trleft0\\cellx3000\\pard"}},
        TableCase{"WordShapeRowDefinitionAtTheEnd",
                  "\\pard\\plain\\ltrpar\\intbl\\f0 {a}\\cell {b}\\cell \\pard\\plain\\intbl {\\trowd\\trgaph108\\cellx1000"
                  "\\cellx2000\\row }\\pard\\plain after\\par",
                  "\na\nb\nafter", {"\\trowd\\trgaph108\\trleft0\\cellx1000\\cellx2000\\pard\\intbl", "a\\cell b\\cell\\row\n\\pard "}},
        TableCase{"TablesOneAfterAnother",
                  row("a\\cell") + "\\pard\\par " + row("b\\cell"), "\na\n\nb\n",
                  {"a\\cell\\row\n\\pard\\par\n\\trowd", "b\\cell\\row\n\\pard\\par\n}"}},
        TableCase{"LastCellEndedByTheParagraphAfterTheTable",
                  row("a\\cell b\\cell") + "\\intbl c\\par\\pard d\\par", "\na\nb\nc\n\nd",
                  {"a\\cell b\\cell\\row\n", "\\pard\\intbl c\\cell\\row\n\\pard d\\par"}},
        TableCase{"CellsWithoutARowEnd", "\\intbl a\\cell b\\cell\\pard c\\par", "\na\nb\nc",
                  {"\\trowd\\trgaph0\\trleft0\\cellx1440\\cellx2880\\pard\\intbl\\f0\\fs22 a\\cell b\\cell\\row\n\\pard c"}},
        TableCase{"ATableInACellBecomesItsText",
                  row("x\\cell \\pard\\intbl\\itap2 in\\nestcell two\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\nestrow}"
                      "{\\nonesttables\\par}\\pard\\intbl y\\cell"),
                  "\nx\nin\ttwo\ny\n", {"in\\tab two\\par\ny\\cell"}},
        TableCase{"ShortRowsAmongLongOnes", manyRows(7),
                  "\nr0\nx\nr1\n\nr2\n\nr3\nx\nr4\n\nr5\n\nr6\nx\n",
                  {"r0\\cell x\\cell\\row\n", "r1\\cell\\row\n", "r6\\cell x\\cell\\row\n\\pard\\par\n}"}},
        TableCase{"NarrowRowsAfterAWideOneStartATableOfTheirOwn", wideThenNarrow(),
                  "\n" + QString(63, u'c').replace(QStringLiteral("c"), QStringLiteral("c\n")) + "n0\n" + QString(62, u'\n')
                      + "n1\n" + QString(62, u'\n') + "\nn2\nn3\n",
                  {"n1\\cell\\row\n\\trowd\\trgaph0\\trleft0\\cellx1000\\pard\\intbl n2\\cell\\row\n"}}),
    [](const auto &info) { return std::string(info.param.name); });

// A table straight after a bulleted list, as WordPad and the rich-edit
// control write it, and a 2 x 2 table with bold in a cell.
TEST(Tables, AfterAListAndWithBoldInACell)
{
    const std::string in = kHead + "{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'B7}}"
                           "\\fi-360\\li720 one\\par{\\pntext\\f0\\'B7\\tab}two\\par\r\n"
                           + row("a\\cell {\\b bold}\\cell", "\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000")
                           + row("c\\cell d\\cell", "\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000") + "\\pard after\\par}";
    QTextDocument doc;
    readDocument(in, doc);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("one\ntwo\na\nbold\nc\nd\nafter"));
    EXPECT_EQ(toPlainText(in), doc.toPlainText());
    ASSERT_EQ(doc.rootFrame()->childFrames().size(), 1);
    auto *table = qobject_cast<QTextTable *>(doc.rootFrame()->childFrames().first());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_TRUE(doc.findBlockByNumber(1).textList() != nullptr) << "the list's last item";
    QTextCursor bold = table->cellAt(0, 1).firstCursorPosition();
    bold.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(bold.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(table->cellAt(1, 0).firstCursorPosition().block().textList(), nullptr) << "cells are not list items";

    const std::string out = writeDocument(doc).toStdString();
    const std::size_t list = out.find("two\\par");
    const std::size_t rowAt = out.find("\\trowd\\trgaph108\\trleft-108\\cellx2000\\cellx4000\\pard\\intbl");
    ASSERT_NE(list, std::string::npos) << out;
    ASSERT_NE(rowAt, std::string::npos) << out;
    EXPECT_LT(list, rowAt) << out;
    EXPECT_NE(out.find("\\intbl a\\cell\\b bold\\cell\\row"), std::string::npos) << out;
    EXPECT_NE(out.find("\\intbl\\b0 c\\cell d\\cell\\row"), std::string::npos) << out;
    QTextDocument back;
    readDocument(out, back);
    EXPECT_EQ(rtftest::contentOf(back), rtftest::contentOf(doc));
    EXPECT_EQ(writeDocument(back).toStdString(), out);
}

TEST(Tables, TextTypedIntoAMadeUpCellIsWritten)
{
    QTextDocument doc;
    readDocument(kHead + row("a\\cell b\\cell") + row("c\\cell d\\cell e\\cell") + "}", doc);
    auto *table = qobject_cast<QTextTable *>(doc.rootFrame()->childFrames().first());
    ASSERT_NE(table, nullptr);
    table->cellAt(0, 2).firstCursorPosition().insertText(QStringLiteral("new"));
    const std::string out = writeDocument(doc).toStdString();
    EXPECT_NE(out.find("\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl\\f0\\fs22 a\\cell b\\cell new\\cell\\row"),
              std::string::npos)
        << out;
}

} // namespace
