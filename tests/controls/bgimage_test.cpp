#include "controls/bgimage.h"
#include "controls/controlstest.h"

using namespace ctltest;
using tl::TicBGimage;

namespace {

// A picture whose every pixel is distinct, so misplaced pixels show.
QImage pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixelColor(x, y, QColor(20 + 9 * x, 30 + 11 * y, 100));
    return img;
}

class BGimageTest : public ::testing::Test {
protected:
    BGimageTest() : pic(new TicBGimage(back.widget())) { pic->move(5, 7); }
    QImage shot() const { return back.shot(pic); }

    Backdrop back;
    TicBGimage *pic;
};

} // namespace

TEST(BGimageInitial, NewControlIsEmptyAndPlain)
{
    TicBGimage pic;
    EXPECT_EQ(pic.size(), QSize(150, 150));
    EXPECT_TRUE(pic.image().isNull());
    EXPECT_EQ(pic.property("Image_Style").toInt(), int(TicBGimage::icNone));
    EXPECT_EQ(pic.property("Align").toInt(), int(TicBGimage::alNone));
    EXPECT_EQ(pic.property("Auto_Size").toBool(), false);
    EXPECT_EQ(pic.property("Transparent").toBool(), false);
}

TEST_F(BGimageTest, EmptyPictureIsAnInvisibleArea)
{
    pic->setImageStyle(TicBGimage::icTiled);
    pic->setTransparent(true);
    EXPECT_EQ(countColour(shot(), kParent), 150 * 150);
}

struct StyleCase {
    const char *name;
    TicBGimage::ImageStyle style;
    QSize control;
    QSize picture;
    // Expected source pixel for a control pixel; (-1, -1) = parent shows.
    QPoint (*source)(QPoint at, QSize control, QSize picture);
};

class BGimageStyleTest : public BGimageTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(BGimageStyleTest, EveryPixelFromWhereTheStyleSays)
{
    const StyleCase &c = GetParam();
    const QImage src = pattern(c.picture.width(), c.picture.height());
    pic->resize(c.control);
    pic->setImageStyle(c.style);
    pic->setImage(src);
    const QImage img = shot();
    for (int y = 0; y < c.control.height(); ++y)
        for (int x = 0; x < c.control.width(); ++x) {
            const QPoint s = c.source({x, y}, c.control, c.picture);
            const QColor want = s.x() < 0 ? kParent : src.pixelColor(s);
            ASSERT_EQ(img.pixelColor(x, y), want) << "at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, BGimageStyleTest,
    ::testing::Values(
        StyleCase{"NoneLargerControl", TicBGimage::icNone, {30, 20}, {12, 8},
                  [](QPoint p, QSize, QSize pic) {
                      return p.x() < pic.width() && p.y() < pic.height() ? p : QPoint(-1, -1);
                  }},
        StyleCase{"NoneSmallerControl", TicBGimage::icNone, {7, 5}, {12, 8}, [](QPoint p, QSize, QSize) { return p; }},
        StyleCase{"StretchTwice", TicBGimage::icStretch, {24, 16}, {12, 8},
                  [](QPoint p, QSize, QSize) { return QPoint(p.x() / 2, p.y() / 2); }},
        StyleCase{"StretchOneRowDown", TicBGimage::icStretch, {19, 40}, {19, 1},
                  [](QPoint p, QSize, QSize) { return QPoint(p.x(), 0); }},
        StyleCase{"Tiled", TicBGimage::icTiled, {31, 17}, {7, 5},
                  [](QPoint p, QSize, QSize pic) { return QPoint(p.x() % pic.width(), p.y() % pic.height()); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(BGimageTest, StretchIsNotSmoothed)
{
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixelColor(0, 0, Qt::black);
    two.setPixelColor(1, 0, Qt::white);
    pic->resize(40, 3);
    pic->setImageStyle(TicBGimage::icStretch);
    pic->setImage(two);
    const QImage img = shot();
    EXPECT_EQ(countColour(img, Qt::black) + countColour(img, Qt::white), 40 * 3);
}

struct TransparentCase {
    const char *name;
    TicBGimage::ImageStyle style;
    QSize control;
};

class BGimageTransparentTest : public BGimageTest, public ::testing::WithParamInterface<TransparentCase> {};

TEST_P(BGimageTransparentTest, EveryPixelOfTheKeyColourIsLeftOut)
{
    // Key colour at (1, 1) and scattered elsewhere, plus a near miss.
    const QColor key(0, 128, 0), near(0, 129, 0);
    QImage src = pattern(10, 6);
    for (QPoint p : {QPoint(1, 1), QPoint(0, 0), QPoint(9, 5), QPoint(4, 3)})
        src.setPixelColor(p, key);
    src.setPixelColor(5, 3, near);
    pic->resize(GetParam().control);
    pic->setImageStyle(GetParam().style);
    pic->setImage(src);
    pic->setTransparent(true);
    const QImage with = shot();
    pic->setTransparent(false);
    const QImage without = shot();
    EXPECT_EQ(countColour(with, key), 0);
    EXPECT_GT(countColour(without, key), 0);
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x) {
            const QColor c = without.pixelColor(x, y);
            ASSERT_EQ(with.pixelColor(x, y), c == key ? kParent : c) << x << "," << y;
        }
    EXPECT_GT(countColour(with, near), 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, BGimageTransparentTest,
                         ::testing::Values(TransparentCase{"None", TicBGimage::icNone, {10, 6}},
                                           TransparentCase{"Stretch", TicBGimage::icStretch, {30, 12}},
                                           TransparentCase{"Tiled", TicBGimage::icTiled, {25, 13}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(BGimageTest, NewPictureRepaints)
{
    pic->resize(4, 4);
    QImage red(4, 4, QImage::Format_RGB32), blue(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);
    pic->setImage(red);
    EXPECT_EQ(countColour(shot(), Qt::red), 16);
    pic->setImage(blue);
    EXPECT_EQ(countColour(shot(), Qt::blue), 16);
    // Assigning copies: changing the caller's picture later shows nothing new.
    blue.fill(Qt::green);
    EXPECT_EQ(countColour(shot(), Qt::blue), 16);
}

TEST_F(BGimageTest, AutoSizeTakesThePictureSizeUnlessAligned)
{
    pic->setImage(pattern(33, 21));
    EXPECT_EQ(pic->size(), QSize(150, 150));
    pic->setAutoSize(true);
    EXPECT_EQ(pic->size(), QSize(33, 21));
    pic->setImage(pattern(12, 40));
    EXPECT_EQ(pic->size(), QSize(12, 40));

    TicBGimage top(back.widget());
    top.resize(10, 20);
    top.setAlign(TicBGimage::alTop);
    top.setAutoSize(true);
    top.setImage(pattern(33, 21));
    EXPECT_EQ(top.size(), QSize(320, 20));
}

struct AlignCase {
    const char *name;
    TicBGimage::Alignment align;
    QRect inParent320x200, inParent400x150;
};

class BGimageAlignTest : public BGimageTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(BGimageAlignTest, FollowsTheParent)
{
    pic->setGeometry(5, 7, 19, 11);
    back.widget()->show();  // a hidden parent holds back its resize events
    pic->setAlign(GetParam().align);
    EXPECT_EQ(pic->geometry(), GetParam().inParent320x200);
    back.widget()->resize(400, 150);
    EXPECT_EQ(pic->geometry(), GetParam().inParent400x150);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, BGimageAlignTest,
    ::testing::Values(AlignCase{"None", TicBGimage::alNone, {5, 7, 19, 11}, {5, 7, 19, 11}},
                      AlignCase{"Top", TicBGimage::alTop, {0, 0, 320, 11}, {0, 0, 400, 11}},
                      AlignCase{"Bottom", TicBGimage::alBottom, {0, 189, 320, 11}, {0, 139, 400, 11}},
                      AlignCase{"Left", TicBGimage::alLeft, {0, 0, 19, 200}, {0, 0, 19, 150}},
                      AlignCase{"Right", TicBGimage::alRight, {301, 0, 19, 200}, {381, 0, 19, 150}},
                      AlignCase{"Client", TicBGimage::alClient, {0, 0, 320, 200}, {0, 0, 400, 150}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(BGimageTest, MouseNotificationsForDragAreas)
{
    int down = 0, moves = 0, up = 0, clicks = 0, doubles = 0;
    QObject::connect(pic, &TicBGimage::mouseDown, pic, [&] { ++down; });
    QObject::connect(pic, &TicBGimage::mouseMove, pic, [&] { ++moves; });
    QObject::connect(pic, &TicBGimage::mouseUp, pic, [&] { ++up; });
    QObject::connect(pic, &TicBGimage::clicked, pic, [&] { ++clicks; });
    QObject::connect(pic, &TicBGimage::doubleClicked, pic, [&] { ++doubles; });
    drag(pic, {10, 10}, {{2, 0}, {4, 1}});
    EXPECT_EQ(down, 1);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(up, 1);
    EXPECT_EQ(clicks, 1);
    // Released outside: no click.
    drag(pic, {10, 10}, {{400, 0}});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(up, 2);
    const QPoint g = pic->mapToGlobal(QPoint(10, 10));
    sendMouse(pic, QEvent::MouseButtonDblClick, g, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(doubles, 1);
}
