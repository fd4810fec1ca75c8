// Pictures and embedded objects in a note: each is read into the document
// the way the editor shows it and written back so that a second load gives
// the same document, with picture bytes and kept groups unchanged.

#include "richtext/content.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfproperties.h"
#include "richtext/rtfreader.h"
#include "richtext/samples.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tl::rtf;
using namespace std::string_literals;
using rtftest::hex;
using rtftest::jpeg;
using rtftest::kHead;
using rtftest::kWmf;
using rtftest::pict;
using rtftest::png;
using rtftest::sample;

// As the writer lays hex out: 128 digits a line.
std::string hexLines(const QByteArray &bytes)
{
    const std::string h = hex(bytes);
    std::string out;
    for (std::size_t i = 0; i < h.size(); i += 128)
        out += (i ? "\n" : "") + h.substr(i, 128);
    return out;
}

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

} // namespace
