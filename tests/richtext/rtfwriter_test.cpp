// The writer: its output's shape, and that it reads back to the document it
// came from.

#include "richtext/content.h"
#include "richtext/rtfdocument.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using tl::rtf::TextAttributes;
using rtftest::contentOf;

struct Builder {
    QTextDocument doc;
    QTextCursor c{&doc};
    Builder() { doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10)); }
    Builder &text(const QString &s, const QTextCharFormat &f = {})
    {
        c.insertText(s, f);
        return *this;
    }
    Builder &para(Qt::Alignment a = Qt::AlignLeft)
    {
        QTextBlockFormat bf;
        bf.setAlignment(a);
        c.insertBlock(bf, QTextCharFormat());
        return *this;
    }
    Builder &bullet()
    {
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDisc);
        lf.setIndent(1);
        if (c.block().previous().isValid() && c.block().previous().textList())
            c.block().previous().textList()->add(c.block());
        else
            c.createList(lf);
        return *this;
    }
};

QTextCharFormat fmt(std::function<void(QTextCharFormat &)> f)
{
    QTextCharFormat q;
    f(q);
    return q;
}

struct WriteCase {
    const char *name;
    std::function<void(Builder &)> build;
    std::vector<std::string> contains;
};

void PrintTo(const WriteCase &c, std::ostream *os) { *os << c.name; }

class Writer : public ::testing::TestWithParam<WriteCase> {};

TEST_P(Writer, ShapeAndRoundTrip)
{
    Builder b;
    GetParam().build(b);
    const QByteArray rtf = tl::rtf::writeDocument(b.doc);
    const std::string s = rtf.toStdString();
    EXPECT_TRUE(s.starts_with("{\\rtf1\\ansi\\ansicpg1252\\deff0")) << s;
    EXPECT_TRUE(s.ends_with("}")) << s;
    EXPECT_NE(s.find("{\\fonttbl{\\f0"), std::string::npos) << s;
    EXPECT_NE(s.find("{\\colortbl ;"), std::string::npos) << s;
    EXPECT_NE(s.find("\\viewkind4\\uc1\\pard"), std::string::npos) << s;
    for (char ch : s)
        ASSERT_TRUE(static_cast<unsigned char>(ch) < 0x80) << "not ASCII: " << s;
    for (const std::string &part : GetParam().contains)
        EXPECT_NE(s.find(part), std::string::npos) << "missing " << part << " in " << s;

    QTextDocument back;
    back.setDefaultFont(QFont(QStringLiteral("Courier"), 30)); // must not leak in
    tl::rtf::readDocument(s, back);
    EXPECT_EQ(back.toPlainText(), b.doc.toPlainText());
    EXPECT_EQ(tl::rtf::toPlainText(s), b.doc.toPlainText());
    EXPECT_EQ(contentOf(back), contentOf(b.doc)) << s;
    // A second trip changes nothing more.
    EXPECT_EQ(tl::rtf::writeDocument(back), rtf);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, Writer,
    ::testing::Values(
        WriteCase{"Empty", [](Builder &) {}, {"\\f0\\fs20\\par\n}"}},
        WriteCase{"PlainLatin", [](Builder &b) { b.text("Hello, world"); },
                  {"{\\f0\\fnil\\fcharset0 Arial;}", "\\f0\\fs20 Hello, world\\par"}},
        WriteCase{"SpecialCharacters",
                  [](Builder &b) { b.text(QString::fromUtf8("a\\b{c}d\te\u2028f\u00A0g")); },
                  {"a\\\\b\\{c\\}d\\tab e\\line f\\~g"}},
        WriteCase{"Cp1252AsHexOthersAsUnicode",
                  [](Builder &b) { b.text(QString::fromUtf8("café € Привет 中 😀")); },
                  {"caf\\'e9 \\'80 \\u1055?\\u1088?", "\\u20013?", "\\u-10179?\\u-8704?"}},
        WriteCase{"Styles",
                  [](Builder &b) {
                      b.text("n ")
                          .text("bold", fmt([](auto &f) { f.setFontWeight(QFont::Bold); }))
                          .text("ital", fmt([](auto &f) { f.setFontItalic(true); }))
                          .text("under", fmt([](auto &f) { f.setFontUnderline(true); }))
                          .text("strike", fmt([](auto &f) { f.setFontStrikeOut(true); }))
                          .text(" n");
                  },
                  {"\\b bold\\b0\\i ital\\i0\\ul under\\ulnone\\strike strike\\strike0  n"}},
        WriteCase{"FontsSizesColours",
                  [](Builder &b) {
                      b.text("a", fmt([](auto &f) {
                           f.setFontFamilies(QStringList{"Times New Roman"});
                           f.setFontPointSize(14);
                       }))
                          .text("b", fmt([](auto &f) { f.setForeground(QColor(255, 0, 0)); }))
                          .text("c", fmt([](auto &f) {
                              f.setForeground(QColor(0, 0, 255));
                              f.setFontPointSize(8.5);
                          }))
                          .text("d", fmt([](auto &f) { f.setForeground(QColor(255, 0, 0)); }));
                  },
                  {"{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}",
                   "\\f0\\fs28 a\\cf1\\f1\\fs20 b\\cf2\\fs17 c\\cf1\\fs20 d"}},
        WriteCase{"NonAsciiFontName",
                  [](Builder &b) {
                      b.text("x", fmt([](auto &f) {
                          f.setFontFamilies(QStringList{QString::fromUtf8("Шрифт{1}")});
                      }));
                  },
                  {"\\u1064?\\u1088?\\u1080?\\u1092?\\u1090?\\{1\\};"}},
        WriteCase{"Alignment",
                  [](Builder &b) {
                      b.text("left").para(Qt::AlignHCenter).text("centre").para(Qt::AlignRight)
                          .text("right").para(Qt::AlignJustify).text("just").para().text("left");
                  },
                  {"\\pard\\qc centre\\par", "\\pard\\qr right\\par", "\\pard\\qj just\\par",
                   "\\pard left\\par"}},
        WriteCase{"Bullets",
                  [](Builder &b) {
                      b.text("intro").para().bullet().text("one").para().bullet().text("two").para()
                          .text("out");
                  },
                  {"{\\f1\\fnil\\fcharset2 Symbol;}",
                   "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                   "\\fi-360\\li360 one\\par\n{\\pntext\\f1\\'B7\\tab}two\\par\n\\pard out"}},
        WriteCase{"EmptyParagraphsKeepMarkSize",
                  [](Builder &b) {
                      b.text("a").para();
                      b.c.setBlockCharFormat(fmt([](auto &f) { f.setFontPointSize(24); }));
                      b.para().text("b");
                  },
                  {"a\\par\n\\fs48\\par\n\\fs20 b\\par\n"}},
        WriteCase{"Margins",
                  [](Builder &b) {
                      QTextBlockFormat f;
                      f.setLeftMargin(48);
                      f.setTextIndent(-12);
                      b.c.setBlockFormat(f);
                      b.text("indented");
                  },
                  {"\\pard\\li720\\fi-180"}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
