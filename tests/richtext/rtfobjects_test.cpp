// What a note holds besides text: pictures, embedded objects, links and
// tables. Each is read into the document the way the editor shows it and
// written back so that a second load gives the same document, with picture
// bytes and kept groups unchanged.

#include "richtext/content.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfproperties.h"
#include "richtext/rtfreader.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tl::rtf;
using namespace std::string_literals;

const std::string kHead = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
                          "Calibri;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs22 ";

QImage sample()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(1, 1, 3, 2, QColor(200, 30, 30));
    p.fillRect(5, 3, 2, 2, QColor(20, 90, 220));
    return image;
}

QByteArray encoded(const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    sample().save(&buffer, format);
    return bytes;
}

const QByteArray &png()
{
    static const QByteArray bytes = encoded("PNG");
    return bytes;
}

const QByteArray &jpeg()
{
    static const QByteArray bytes = encoded("JPEG");
    return bytes;
}

std::string hex(const QByteArray &bytes) { return bytes.toHex().toStdString(); }

// As the writer lays hex out: 128 digits a line.
std::string hexLines(const QByteArray &bytes)
{
    const std::string h = hex(bytes);
    std::string out;
    for (std::size_t i = 0; i < h.size(); i += 128)
        out += (i ? "\n" : "") + h.substr(i, 128);
    return out;
}

// A placeable-less Windows metafile: header and end record.
const std::string kWmf = "010009000003" "0c000000" "0000" "03000000" "0000" "030000000000";

std::string pict(const std::string &words, const std::string &data) { return "{\\pict" + words + " " + data + "}"; }

std::string object(const std::string &words, const std::string &result)
{
    return "{\\object\\objemb{\\*\\objclass Paint.Picture}" + words
           + "{\\*\\objdata 0105000002000000}{\\result" + result + "}}";
}

struct PictureCase {
    const char *name;
    std::string group;   // the picture's RTF
    int kind;            // prop::PictureKind
    QSize shown;         // document units
    QSize image;         // what is drawn: 1x1 for the box
    QByteArray kept;     // the bytes kept under the picture's name
    std::string written; // the picture as written
};

void PrintTo(const PictureCase &c, std::ostream *os) { *os << c.name; }

class Pictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(Pictures, ShownKeptAndWrittenBack)
{
    const PictureCase &c = GetParam();
    QTextDocument doc;
    readDocument(kHead + "a" + c.group + "b\\par\r\n}", doc);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("a\uFFFCb"));
    QTextCursor at(&doc);
    at.setPosition(2);
    ASSERT_TRUE(at.charFormat().isImageFormat());
    const QTextImageFormat f = at.charFormat().toImageFormat();
    EXPECT_EQ(f.intProperty(prop::PictureKind), c.kind);
    EXPECT_EQ(QSize(int(f.width()), int(f.height())), c.shown);
    const QUrl url(f.name());
    EXPECT_EQ(doc.resource(QTextDocument::ImageResource, url).value<QImage>().size(), c.image);
    EXPECT_EQ(doc.resource(kKeptResource, keptUrl(f.name())).toByteArray(), c.kept);

    const std::string out = writeDocument(doc).toStdString();
    EXPECT_NE(out.find("a" + c.written + "b\\par"), std::string::npos) << out;
    for (char ch : out)
        ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << out;
    QTextDocument back;
    readDocument(out, back);
    EXPECT_EQ(rtftest::contentOf(back), rtftest::contentOf(doc));
    EXPECT_EQ(writeDocument(back).toStdString(), out);
}

std::string pngWritten(const std::string &words) { return "{\\pict\\pngblip" + words + "\n" + hexLines(png()) + "}"; }

INSTANTIATE_TEST_SUITE_P(
    Notes, Pictures,
    ::testing::Values(
        PictureCase{"PngAtItsGoalSize", pict("{\\*\\picprop}\\pngblip\\picw8\\pich6\\picwgoal1200\\pichgoal900", hex(png())),
                    prop::Png, {80, 60}, {8, 6}, png(), pngWritten("\\picw8\\pich6\\picwgoal1200\\pichgoal900")},
        PictureCase{"PngWithoutGoalAtItsPixels", pict("\\pngblip\\picw8\\pich6", hex(png())), prop::Png, {8, 6},
                    {8, 6}, png(), pngWritten("\\picw8\\pich6")},
        PictureCase{"PngWithoutAnySizeAtTheImagesPixels", pict("\\pngblip", hex(png())), prop::Png, {8, 6}, {8, 6},
                    png(), pngWritten("")},
        PictureCase{"PngScaled", pict("\\pngblip\\picw8\\pich6\\picwgoal1200\\pichgoal900\\picscalex50\\picscaley200",
                                      hex(png())),
                    prop::Png, {40, 120}, {8, 6}, png(),
                    pngWritten("\\picw8\\pich6\\picwgoal1200\\pichgoal900\\picscalex50\\picscaley200")},
        PictureCase{"PngHexAcrossLinesAndBlanks",
                    pict("\\pngblip\\picw8\\pich6", hex(png()).substr(0, 7) + "\r\n " + hex(png()).substr(7)),
                    prop::Png, {8, 6}, {8, 6}, png(), pngWritten("\\picw8\\pich6")},
        PictureCase{"PngAsRawBinary",
                    "{\\pict\\pngblip\\picw8\\pich6\\bin" + std::to_string(png().size()) + " " + png().toStdString() + "}",
                    prop::Png, {8, 6}, {8, 6}, png(), pngWritten("\\picw8\\pich6")},
        PictureCase{"Jpeg", pict("\\jpegblip\\picw8\\pich6\\picwgoal600\\pichgoal450", hex(jpeg())), prop::Jpeg,
                    {40, 30}, {8, 6}, jpeg(),
                    "{\\pict\\jpegblip\\picw8\\pich6\\picwgoal600\\pichgoal450\n" + hexLines(jpeg()) + "}"},
        PictureCase{"BrokenPngIsABoxKeptAsItCame", pict("\\pngblip\\picw8\\pich6", "89504e470d0a"), prop::Png,
                    {8, 6}, {1, 1}, QByteArray::fromHex("89504e470d0a"), "{\\pict\\pngblip\\picw8\\pich6\n89504e470d0a}"},
        PictureCase{"MetafileIsABoxWrittenByteForByte",
                    pict("{\\*\\picprop}\\wmetafile8\\picw423\\pich317\\picwgoal240\\pichgoal180", "\r\n" + kWmf + "\r\n"),
                    prop::KeptGroup, {16, 12}, {1, 1},
                    QByteArray::fromStdString(
                        pict("{\\*\\picprop}\\wmetafile8\\picw423\\pich317\\picwgoal240\\pichgoal180", "\r\n" + kWmf + "\r\n")),
                    pict("{\\*\\picprop}\\wmetafile8\\picw423\\pich317\\picwgoal240\\pichgoal180", "\r\n" + kWmf + "\r\n")},
        PictureCase{"MetafileSizeInHundredthsOfAMillimetre", pict("\\wmetafile8\\picw2540\\pich1270", kWmf),
                    prop::KeptGroup, {96, 48}, {1, 1}, QByteArray::fromStdString(pict("\\wmetafile8\\picw2540\\pich1270", kWmf)),
                    pict("\\wmetafile8\\picw2540\\pich1270", kWmf)},
        PictureCase{"EnhancedMetafile", pict("\\emfblip\\picwgoal300\\pichgoal150", "0100000000"), prop::KeptGroup,
                    {20, 10}, {1, 1}, QByteArray::fromStdString(pict("\\emfblip\\picwgoal300\\pichgoal150", "0100000000")),
                    pict("\\emfblip\\picwgoal300\\pichgoal150", "0100000000")},
        PictureCase{"DeviceIndependentBitmap", pict("\\dibitmap0\\picw8\\pich6", "28000000"), prop::KeptGroup, {8, 6},
                    {1, 1}, QByteArray::fromStdString(pict("\\dibitmap0\\picw8\\pich6", "28000000")),
                    pict("\\dibitmap0\\picw8\\pich6", "28000000")},
        PictureCase{"RawBinaryInAKeptGroupBecomesHex",
                    "{\\pict\\wmetafile8\\picw100\\pich100\\bin5 \x01{\x00}\xff\\picwgoal300}"s, prop::KeptGroup,
                    {20, 4}, {1, 1}, "{\\pict\\wmetafile8\\picw100\\pich100 017b007dff\\picwgoal300}",
                    "{\\pict\\wmetafile8\\picw100\\pich100 017b007dff\\picwgoal300}"},
        PictureCase{"HighBytesInAKeptGroupBecomeEscapes", "{\\pict\\wmetafile8{\\*\\comment caf\xe9\\\xe8}" + kWmf + "}",
                    prop::KeptGroup, {32, 32}, {1, 1},
                    QByteArray::fromStdString("{\\pict\\wmetafile8{\\*\\comment caf\\'e9\\'e8}" + kWmf + "}"),
                    "{\\pict\\wmetafile8{\\*\\comment caf\\'e9\\'e8}" + kWmf + "}"},
        PictureCase{"ControlBytesInAKeptGroupStillEndWords",
                    "{\\object\x16objemb\\\x01{\\result\x00"s + pict("\\wmetafile8", kWmf) + "}}", prop::KeptGroup,
                    {32, 32}, {1, 1},
                    QByteArray::fromStdString("{\\object{}objemb{}{\\result{}" + pict("\\wmetafile8", kWmf) + "}}"),
                    "{\\object{}objemb{}{\\result{}" + pict("\\wmetafile8", kWmf) + "}}"},
        PictureCase{"ObjectWithMetafileResultIsABoxOfItsSize",
                    object("\\objw1500\\objh900", pict("\\wmetafile8\\picw2646\\pich1587\\picwgoal3000\\pichgoal900", kWmf)),
                    prop::KeptGroup, {100, 60}, {1, 1},
                    QByteArray::fromStdString(object(
                        "\\objw1500\\objh900", pict("\\wmetafile8\\picw2646\\pich1587\\picwgoal3000\\pichgoal900", kWmf))),
                    object("\\objw1500\\objh900", pict("\\wmetafile8\\picw2646\\pich1587\\picwgoal3000\\pichgoal900", kWmf))},
        PictureCase{"ObjectShowsItsPngResult",
                    object("\\objw1200\\objh900\\objscalex50",
                           "{\\*\\shppict" + pict("\\pngblip\\picw8\\pich6", hex(png())) + "}{\\nonshppict"
                               + pict("\\wmetafile8", kWmf) + "}"),
                    prop::KeptGroup, {40, 60}, {8, 6},
                    QByteArray::fromStdString(object("\\objw1200\\objh900\\objscalex50",
                                                     "{\\*\\shppict" + pict("\\pngblip\\picw8\\pich6", hex(png()))
                                                         + "}{\\nonshppict" + pict("\\wmetafile8", kWmf) + "}")),
                    object("\\objw1200\\objh900\\objscalex50", "{\\*\\shppict" + pict("\\pngblip\\picw8\\pich6", hex(png()))
                                                                   + "}{\\nonshppict" + pict("\\wmetafile8", kWmf) + "}")},
        PictureCase{"ObjectWithoutSizeTakesItsResults",
                    object("", pict("\\wmetafile8\\picwgoal450\\pichgoal300", kWmf)), prop::KeptGroup, {30, 20}, {1, 1},
                    QByteArray::fromStdString(object("", pict("\\wmetafile8\\picwgoal450\\pichgoal300", kWmf))),
                    object("", pict("\\wmetafile8\\picwgoal450\\pichgoal300", kWmf))},
        PictureCase{"WordPictureWithFallback",
                    "{\\*\\shppict" + pict("\\pngblip\\picw8\\pich6\\picwgoal1200\\pichgoal900", hex(png()))
                        + "}{\\nonshppict" + pict("\\wmetafile8", kWmf) + "}",
                    prop::Png, {80, 60}, {8, 6}, png(), pngWritten("\\picw8\\pich6\\picwgoal1200\\pichgoal900")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PicturesInText, TakeTheFormatAroundThemAndNeverShowTheirData)
{
    QTextDocument doc;
    readDocument(kHead + "{\\b x" + pict("\\pngblip\\picw8\\pich6", hex(png())) + "}{\\v " + pict("\\pngblip", hex(png()))
                     + "}y{\\*\\nonshppict" + pict("\\wmetafile8", kWmf) + "}z\\par}",
                 doc);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("x\uFFFCyz"));
    QTextCursor at(&doc);
    at.setPosition(2);
    EXPECT_TRUE(at.charFormat().isImageFormat());
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
}

// A screenshot in a bulleted item, as the rich-edit control writes it.
TEST(PicturesInText, InABulletedParagraphKeepBothThroughALoadAndASave)
{
    const std::string in = kHead + "{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'B7}}"
                           "\\fi-360\\li720 see " + pict("\\pngblip\\picw8\\pich6\\picwgoal1200\\pichgoal900", hex(png()))
                           + " here\\par\r\n\\pard after\\par}";
    QTextDocument doc;
    readDocument(in, doc);
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("see \uFFFC here\nafter"));
    ASSERT_NE(doc.firstBlock().textList(), nullptr);
    QTextCursor at(&doc);
    at.setPosition(5);
    ASSERT_TRUE(at.charFormat().isImageFormat());
    EXPECT_EQ(doc.resource(kKeptResource, keptUrl(at.charFormat().toImageFormat().name())).toByteArray(), png());

    const std::string out = writeDocument(doc).toStdString();
    EXPECT_NE(out.find("\\pntext"), std::string::npos) << out;
    EXPECT_NE(out.find("see " + pngWritten("\\picw8\\pich6\\picwgoal1200\\pichgoal900") + " here\\par"), std::string::npos)
        << out;
    QTextDocument back;
    readDocument(out, back);
    EXPECT_EQ(rtftest::contentOf(back), rtftest::contentOf(doc));
    EXPECT_EQ(writeDocument(back).toStdString(), out);
}

TEST(PicturesInText, PastedImageIsWrittenAsPng)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("a"));
    c.insertImage(addPngPicture(doc, sample()));
    const std::string out = writeDocument(doc).toStdString();
    const std::string head = "a{\\pict\\pngblip\\picw8\\pich6\\picwgoal120\\pichgoal90\n";
    const std::size_t at = out.find(head);
    ASSERT_NE(at, std::string::npos) << out;
    std::string digits = out.substr(at + head.size(), out.find('}', at) - at - head.size());
    std::erase(digits, '\n');
    EXPECT_EQ(QImage::fromData(QByteArray::fromHex(QByteArray::fromStdString(digits)), "PNG")
                  .convertToFormat(QImage::Format_RGB32),
              sample());
}

// Pictures are decoded up to a budget per document; past it they show as
// boxes and keep their bytes all the same.
TEST(PicturesInText, BeyondTheBudgetShowAsBoxes)
{
    const QByteArray big = rtftest::whitePng(4000, 3000);
    std::string rtf = kHead;
    for (int i = 0; i < 6; ++i)
        rtf += pict("\\pngblip\\picw4000\\pich3000", hex(big));
    QTextDocument doc;
    readDocument(rtf + "}", doc);
    int decoded = 0, boxes = 0;
    QTextCursor at(&doc);
    for (int i = 1; i <= 6; ++i) {
        at.setPosition(i);
        const QTextImageFormat f = at.charFormat().toImageFormat();
        EXPECT_EQ(QSize(int(f.width()), int(f.height())), QSize(4000, 3000));
        EXPECT_EQ(doc.resource(kKeptResource, keptUrl(f.name())).toByteArray(), big);
        const QSize shown = doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>().size();
        decoded += shown == QSize(4000, 3000);
        boxes += shown == QSize(1, 1);
    }
    EXPECT_EQ(decoded, 3);
    EXPECT_EQ(boxes, 3);
}

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

// ---- links

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

// ---- tables

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

// ---- what the editor cannot hold

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
