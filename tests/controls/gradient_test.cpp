#include "controls/gradient.h"

#include <gtest/gtest.h>

#include <set>

using namespace tl::darer;

namespace {

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(1, 2, 3));
    return img;
}

QColor at(const QImage &img, int x, int y) { return img.pixelColor(x, y); }

// Short pictures hold fewer pixels than steps, so a pixel shows the last of
// the few bands that fall on it: the ends come within a few steps of their
// colours. tolerance is in channel units.
::testing::AssertionResult near(QColor got, QColor want, int tolerance)
{
    if (std::abs(got.red() - want.red()) <= tolerance && std::abs(got.green() - want.green()) <= tolerance
        && std::abs(got.blue() - want.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got.name().toStdString() << " is not within " << tolerance << " of "
                                         << want.name().toStdString();
}

} // namespace

// --- colour stepping --------------------------------------------------------

struct StepCase {
    const char *name;
    QColor begin, end;
    int i, n;
    QColor truncated, rounded;
};

class GradientStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(GradientStepTest, Channels)
{
    const StepCase &c = GetParam();
    EXPECT_EQ(gradientStep(c.begin, c.end, c.i, c.n), c.truncated);
    EXPECT_EQ(gradientStepRounded(c.begin, c.end, c.i, c.n), c.rounded);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, GradientStepTest,
    ::testing::Values(
        StepCase{"first", QColor(0, 0, 0), QColor(255, 255, 255), 0, 255, QColor(0, 0, 0), QColor(0, 0, 0)},
        StepCase{"last", QColor(0, 0, 0), QColor(255, 255, 255), 255, 255, QColor(255, 255, 255),
                 QColor(255, 255, 255)},
        // 100 * 7 / 155 = 4.516: truncation gives 4, rounding 5.
        StepCase{"rising", QColor(0, 0, 0), QColor(7, 0, 0), 100, 155, QColor(4, 0, 0), QColor(5, 0, 0)},
        // Falling channels truncate towards zero: 192 + 100 * (-7) / 155 = 192 - 4.
        StepCase{"falling", QColor(192, 192, 192), QColor(185, 185, 185), 100, 155, QColor(188, 188, 188),
                 QColor(187, 187, 187)},
        StepCase{"mixed", QColor(10, 200, 0), QColor(200, 10, 100), 1, 2, QColor(105, 105, 50),
                 QColor(105, 105, 50)},
        StepCase{"no steps", QColor(9, 8, 7), QColor(1, 2, 3), 5, 0, QColor(9, 8, 7), QColor(9, 8, 7)}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &ch : n)
            if (ch == ' ')
                ch = '_';
        return n;
    });

// --- linear bands -----------------------------------------------------------

TEST(GradientBands, HorizontalLineRisesInAll256Steps)
{
    QImage img = canvas(300, 1);
    paintGradient(img, gsHorizontal, Qt::black, Qt::white);
    EXPECT_EQ(at(img, 0, 0), QColor(Qt::black));
    EXPECT_EQ(at(img, 299, 0), QColor(Qt::white));
    std::set<int> levels;
    for (int x = 0; x < 300; ++x) {
        const QColor c = at(img, x, 0);
        EXPECT_EQ(c.red(), c.green());
        EXPECT_EQ(c.red(), c.blue());
        if (x > 0) {
            EXPECT_GE(c.red(), at(img, x - 1, 0).red()) << "x " << x;
        }
        levels.insert(c.red());
    }
    EXPECT_EQ(levels.size(), 256u);
}

TEST(GradientBands, VerticalRunsTopToBottomAcrossTheWholeWidth)
{
    QImage img = canvas(7, 400);
    paintGradient(img, gsVertical, QColor(200, 0, 0), QColor(0, 0, 200));
    EXPECT_EQ(at(img, 3, 0), QColor(200, 0, 0));
    EXPECT_EQ(at(img, 3, 399), QColor(0, 0, 200));
    for (int y = 0; y < 400; y += 37)
        for (int x = 1; x < 7; ++x)
            EXPECT_EQ(at(img, x, y), at(img, 0, y)) << x << "," << y;
}

TEST(GradientBands, ShortSeparatorFadesSteadilyFromItsStrongEnd)
{
    // The editor's lines are 1 pixel thick and a few hundred long.
    const QColor line(0x40, 0x80, 0xC0);
    QImage across = canvas(120, 1), down = canvas(1, 80);
    paintGradient(across, gsHorizontal, line, Qt::black);
    paintGradient(down, gsVertical, line, Qt::black);
    EXPECT_TRUE(near(at(across, 0, 0), line, 4));
    EXPECT_TRUE(near(at(down, 0, 0), line, 4));
    EXPECT_TRUE(near(at(across, 119, 0), Qt::black, 4));
    EXPECT_TRUE(near(at(down, 0, 79), Qt::black, 4));
    for (int x = 1; x < 120; ++x)
        ASSERT_LE(at(across, x, 0).blue(), at(across, x - 1, 0).blue()) << x;
    for (int y = 1; y < 80; ++y)
        ASSERT_LE(at(down, 0, y).blue(), at(down, 0, y - 1).blue()) << y;
}

// --- every style: where the begin and end colours must show -----------------

struct StyleCase {
    const char *name;
    GradientStyle style;
    QPoint beginAt, endAt;  // on a 101 x 61 picture
};

class GradientStyleTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(GradientStyleTest, BeginAndEndWhereTheStyleSays)
{
    const StyleCase &c = GetParam();
    const QColor begin(250, 10, 40), end(10, 240, 120);
    QImage img = canvas(101, 61);
    paintGradient(img, c.style, begin, end);
    // A 5 % margin of the 240-unit range: the elliptic corners lie under
    // the first dozen of its 156 ellipses.
    EXPECT_TRUE(near(at(img, c.beginAt.x(), c.beginAt.y()), begin, 12));
    EXPECT_TRUE(near(at(img, c.endAt.x(), c.endAt.y()), end, 12));
    // Nothing of the old canvas is left.
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_NE(at(img, x, y), QColor(1, 2, 3)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Styles, GradientStyleTest,
    ::testing::Values(StyleCase{"Horizontal", gsHorizontal, {0, 30}, {100, 30}},
                      StyleCase{"Vertical", gsVertical, {50, 0}, {50, 60}},
                      StyleCase{"Rectangle", gsRectangle, {0, 0}, {50, 30}},
                      StyleCase{"VertCenter", gsVertCenter, {50, 0}, {50, 30}},
                      StyleCase{"VertCenterBottom", gsVertCenter, {50, 60}, {10, 30}},
                      StyleCase{"HorizCenter", gsHorizCenter, {0, 30}, {50, 30}},
                      StyleCase{"HorizCenterRight", gsHorizCenter, {100, 30}, {50, 0}},
                      StyleCase{"LeftTop", gsLeftTop, {0, 0}, {100, 60}},
                      StyleCase{"RightTop", gsRightTop, {100, 0}, {0, 60}},
                      StyleCase{"LeftTopRightBottom", gsLeftTopRightBottom, {0, 0}, {100, 0}},
                      StyleCase{"LeftTopRightBottomFar", gsLeftTopRightBottom, {100, 60}, {0, 60}},
                      StyleCase{"RightTopLeftBottom", gsRightTopLeftBottom, {100, 0}, {0, 0}},
                      StyleCase{"RightTopLeftBottomFar", gsRightTopLeftBottom, {0, 60}, {100, 60}},
                      StyleCase{"Elliptic", gsElliptic, {0, 0}, {50, 30}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GradientStyles, DiagonalsAreMirrorImages)
{
    QImage lt = canvas(64, 32), rt = canvas(64, 32);
    paintGradient(lt, gsLeftTop, Qt::black, Qt::white);
    paintGradient(rt, gsRightTop, Qt::black, Qt::white);
    EXPECT_EQ(lt.mirrored(true, false), rt);
}

TEST(GradientStyles, CentreStylesAreSymmetric)
{
    QImage v = canvas(9, 50), h = canvas(50, 9);
    paintGradient(v, gsVertCenter, Qt::black, Qt::white);
    paintGradient(h, gsHorizCenter, Qt::black, Qt::white);
    EXPECT_EQ(v.mirrored(false, true), v);
    EXPECT_EQ(h.mirrored(true, false), h);
}

TEST(GradientStyles, EllipticHeaderHasSilverCornersAndGreyCentre)
{
    const QColor silver(0xC0, 0xC0, 0xC0), grey(0x80, 0x80, 0x80);
    QImage img = canvas(252, 16);
    paintGradient(img, gsElliptic, silver, grey);
    for (QPoint p : {QPoint(0, 0), QPoint(251, 0), QPoint(0, 15), QPoint(251, 15)})
        EXPECT_TRUE(near(at(img, p.x(), p.y()), silver, 6)) << p.x() << "," << p.y();
    const QColor centre = at(img, 126, 8);
    EXPECT_TRUE(near(centre, grey, 1));
    EXPECT_EQ(centre.red(), centre.blue());
    // Darker towards the centre along the middle row.
    EXPECT_GT(at(img, 10, 8).red(), at(img, 60, 8).red());
    EXPECT_GT(at(img, 60, 8).red(), centre.red());
}

TEST(GradientStyles, RectangleOutlinesStepInwards)
{
    QImage img = canvas(41, 41);
    paintGradient(img, gsRectangle, Qt::black, QColor(200, 200, 200));
    // Along the diagonal the outlines get lighter towards the centre.
    for (int k = 1; k <= 20; ++k)
        EXPECT_GE(at(img, k, k).red(), at(img, k - 1, k - 1).red()) << k;
    // Each outline is one colour all round.
    EXPECT_EQ(at(img, 5, 5), at(img, 5, 30));
    EXPECT_EQ(at(img, 5, 5), at(img, 30, 5));
}

struct SolidCase {
    const char *name;
    GradientStyle style;
    bool painted;
};

class GradientSolidTest : public ::testing::TestWithParam<SolidCase> {};

TEST_P(GradientSolidTest, FillsWithBeginOrLeavesAlone)
{
    QImage img = canvas(20, 10);
    paintGradient(img, GetParam().style, QColor(9, 99, 199), Qt::white);
    const QColor want = GetParam().painted ? QColor(9, 99, 199) : QColor(1, 2, 3);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(at(img, x, y), want);
}

INSTANTIATE_TEST_SUITE_P(Solid, GradientSolidTest,
                         ::testing::Values(SolidCase{"None", gsNone, true}, SolidCase{"TextOnly", gsTextOnly, true},
                                           SolidCase{"Image", gsImage, false}),
                         [](const auto &info) { return std::string(info.param.name); });

class GradientTinyTest : public ::testing::TestWithParam<std::tuple<GradientStyle, QSize>> {};

TEST_P(GradientTinyTest, TinyPicturesStayBetweenBeginAndEnd)
{
    const auto [style, size] = GetParam();
    QImage img = canvas(size.width(), size.height());
    paintGradient(img, style, QColor(70, 180, 90), QColor(170, 80, 190));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = at(img, x, y);
            EXPECT_TRUE(c.red() >= 70 && c.red() <= 170 && c.green() >= 80 && c.green() <= 180
                        && c.blue() >= 90 && c.blue() <= 190)
                << c.name().toStdString() << " at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Tiny, GradientTinyTest,
                         ::testing::Combine(::testing::Values(gsHorizontal, gsVertical, gsRectangle, gsVertCenter,
                                                              gsHorizCenter, gsLeftTop, gsRightTop,
                                                              gsLeftTopRightBottom, gsRightTopLeftBottom,
                                                              gsElliptic, gsNone, gsTextOnly),
                                            ::testing::Values(QSize(1, 1), QSize(2, 1), QSize(1, 3))));

TEST(GradientTiny, EmptyPictureIsLeftAlone)
{
    QImage img;
    paintGradient(img, gsElliptic, Qt::black, Qt::white);
    EXPECT_TRUE(img.isNull());
}
