#include "controls/builtinart.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

#include <set>

namespace builtin = tl::builtin;

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint16 le16(const QByteArray &b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

int bmpBits(const QByteArray &b) { return b.size() > 30 && b.startsWith("BM") ? le16(b, 28) : 0; }

class ArtTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { builtin::initArt(); }
};

QImage skin()
{
    builtin::initArt();
    return QImage(builtin::skinPicture).convertToFormat(QImage::Format_RGB32);
}

bool columnsAlike(const QImage &img, QRect r)
{
    for (int x = r.left() + 1; x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (img.pixel(x, y) != img.pixel(r.left(), y))
                return false;
    return true;
}

bool rowsAlike(const QImage &img, QRect r)
{
    for (int y = r.top() + 1; y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != img.pixel(x, r.top()))
                return false;
    return true;
}

int colours(const QImage &img, QRect r)
{
    std::set<QRgb> seen;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            seen.insert(img.pixel(x, y));
    return int(seen.size());
}

} // namespace

TEST_F(ArtTest, SkinPictureIs280By186In24Bits)
{
    EXPECT_EQ(bmpBits(bytes(builtin::skinPicture)), 24);
    EXPECT_EQ(QImage(builtin::skinPicture).size(), QSize(280, 186));
}

struct Region {
    const char *name;
    QRect rect;
    int minColours;  // drawn, not a flat placeholder
};

class SkinRegionTest : public ArtTest, public ::testing::WithParamInterface<Region> {};

TEST_P(SkinRegionTest, IsDrawn)
{
    const QImage img = skin();
    ASSERT_TRUE(img.rect().contains(GetParam().rect));
    EXPECT_GE(colours(img, GetParam().rect), GetParam().minColours);
}

INSTANTIATE_TEST_SUITE_P(Regions, SkinRegionTest,
                         ::testing::Values(Region{"TitleLeft", {0, 0, 25, 20}, 8}, Region{"TitleCentre", {26, 0, 100, 20}, 12},
                                           Region{"TitleFiller", {127, 0, 25, 20}, 6},
                                           Region{"TitleRight", {153, 0, 25, 20}, 8}, Region{"LeftSide", {0, 42, 25, 29}, 5},
                                           Region{"RightSide", {32, 42, 19, 29}, 5}, Region{"Thumb", {52, 53, 8, 18}, 6},
                                           Region{"ThumbHeld", {61, 53, 8, 18}, 6}, Region{"FootLeft", {0, 99, 12, 11}, 5},
                                           Region{"FootFiller", {12, 99, 100, 11}, 5}, Region{"SizeGrip", {265, 99, 11, 11}, 5}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ArtTest, StretchedRegionsStretchCleanly)
{
    // Stretching repeats pixels, so a stretched piece must not vary along
    // the stretch or it would smear.
    const QImage img = skin();
    EXPECT_TRUE(columnsAlike(img, {127, 0, 25, 20})) << "title filler";
    EXPECT_TRUE(columnsAlike(img, {12, 99, 100, 11})) << "bottom filler";
    EXPECT_TRUE(rowsAlike(img, {32, 42, 19, 29})) << "right side";
    // The left border shows row 42, x 0..10 only: it needs a profile.
    EXPECT_GE(colours(img, {0, 42, 11, 1}), 4);
}

TEST_F(ArtTest, HeldThumbLooksDifferent)
{
    const QImage img = skin();
    EXPECT_NE(img.copy(52, 53, 8, 18), img.copy(61, 53, 8, 18));
}

TEST_F(ArtTest, SkinColoursFile)
{
    const QByteArray txt = bytes(builtin::skinColours);
    EXPECT_TRUE(txt.contains("[Text]"));
    EXPECT_TRUE(txt.contains("NormalBG=#000000"));
    EXPECT_TRUE(txt.contains("Normal=#C0C0C0"));
}

class GlyphTest : public ArtTest, public ::testing::WithParamInterface<builtin::ButtonGlyph> {};

TEST_P(GlyphTest, BothFormsAtTheButtonsSize)
{
    const auto &g = GetParam();
    const QByteArray bmp = bytes(builtin::buttonGlyphBmp(g.button));
    EXPECT_EQ(bmpBits(bmp), 24);
    const QImage keyed = QImage::fromData(bmp).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(keyed.size(), g.size);
    const QRgb key = keyed.pixel(0, keyed.height() - 1);
    EXPECT_EQ(QColor(key), QColor(0xFF, 0x00, 0xFF));
    int drawn = 0;
    for (int y = 0; y < keyed.height(); ++y)
        for (int x = 0; x < keyed.width(); ++x)
            drawn += keyed.pixel(x, y) != key;
    EXPECT_GT(drawn, 20);
    EXPECT_LT(drawn, g.size.width() * g.size.height() * 3 / 4);

    const QImage png(builtin::buttonGlyphPng(g.button));
    ASSERT_EQ(png.size(), g.size);
    EXPECT_TRUE(png.hasAlphaChannel());
    // The same pixels show where the keyed glyph draws.
    for (int y = 0; y < keyed.height(); ++y)
        for (int x = 0; x < keyed.width(); ++x)
            if (keyed.pixel(x, y) != key) {
                ASSERT_GE(qAlpha(png.pixel(x, y)), 110) << g.button << " " << x << "," << y;
            }
}

INSTANTIATE_TEST_SUITE_P(Buttons, GlyphTest, ::testing::ValuesIn(builtin::buttonGlyphs),
                         [](const auto &info) { return std::string(info.param.button); });

TEST_F(ArtTest, GlyphsDifferFromEachOther)
{
    std::set<QByteArray> seen;
    for (const auto &g : builtin::buttonGlyphs)
        EXPECT_TRUE(seen.insert(bytes(builtin::buttonGlyphBmp(g.button))).second) << g.button;
}

class CursorTest : public ArtTest, public ::testing::WithParamInterface<builtin::CursorArt> {};

TEST_P(CursorTest, ReadableWithItsHotSpot)
{
    const auto &c = GetParam();
    const QByteArray cur = bytes(builtin::cursorPath(c));
    ASSERT_GT(cur.size(), 22);
    EXPECT_EQ(le16(cur, 2), 2) << "a cursor, not an icon";
    EXPECT_EQ(le16(cur, 4), 1);
    EXPECT_EQ(QPoint(le16(cur, 10), le16(cur, 12)), c.hotSpot);
    QImage img = QImage::fromData(cur, "ICO");
    ASSERT_EQ(img.size(), QSize(32, 32));
    img = img.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            opaque += qAlpha(img.pixel(x, y)) > 0;
    EXPECT_GT(opaque, 30);
    EXPECT_LT(opaque, 32 * 32 / 2);
    // The hot spot lies on the drawing (the pointer's tip, the arrows' or
    // the beam's middle), not on empty space.
    bool nearDrawing = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            nearDrawing |= qAlpha(img.pixel(c.hotSpot + QPoint(dx, dy))) > 0;
    EXPECT_TRUE(nearDrawing);
}

INSTANTIATE_TEST_SUITE_P(Slots, CursorTest, ::testing::ValuesIn(builtin::cursors),
                         [](const auto &info) { return std::string(info.param.resource); });

class MenuIconTest : public ArtTest, public ::testing::WithParamInterface<int> {};

TEST_P(MenuIconTest, SixteenSquareWithAlpha)
{
    const QImage img = QImage(builtin::menuIcon(GetParam())).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(16, 16)) << builtin::menuIcon(GetParam()).toStdString();
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            opaque += qAlpha(img.pixel(x, y)) > 128;
    EXPECT_GT(opaque, 40);
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << "transparent corner";
}

INSTANTIATE_TEST_SUITE_P(Indexes, MenuIconTest, ::testing::Range(0, 16));

TEST_F(ArtTest, ProgramIconAtEverySize)
{
    std::set<QByteArray> seen;
    for (int size : builtin::programIconSizes) {
        const QImage img(builtin::programIcon(size));
        EXPECT_EQ(img.size(), QSize(size, size)) << size;
        EXPECT_TRUE(img.hasAlphaChannel()) << size;
        EXPECT_TRUE(seen.insert(bytes(builtin::programIcon(size))).second);
    }
}
