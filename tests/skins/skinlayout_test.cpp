// The skinned window's arithmetic, called directly.

#include "skins/skinfiles.h"
#include "skins/skinlayout.h"

#include <gtest/gtest.h>

namespace sk = tl::skin;
namespace rg = tl::skin::region;

struct HeadCase {
    const char *name;
    int width;
    std::vector<sk::Blit> pieces;
};

class HeadPieces : public testing::TestWithParam<HeadCase> {};

TEST_P(HeadPieces, PlacesCornersCentreAndFillers)
{
    EXPECT_EQ(sk::headPieces(GetParam().width), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, HeadPieces,
    testing::Values(
        // c = 75: no left filler, centre 25 .. 124, right corner 125 .. 149.
        HeadCase{"w150", 150,
                 {{rg::titleLeft, {0, 0, 25, 20}}, {rg::titleCentre, {25, 0, 100, 20}},
                  {rg::titleFiller, {125, 0, 75, 20}}, {rg::titleRight, {125, 0, 25, 20}}}},
        // c = 76, f = 75: a one-pixel left filler, centre from 26.
        HeadCase{"w151", 151,
                 {{rg::titleLeft, {0, 0, 25, 20}}, {rg::titleFiller, {25, 0, 1, 20}},
                  {rg::titleCentre, {26, 0, 100, 20}}, {rg::titleFiller, {126, 0, 75, 20}},
                  {rg::titleRight, {126, 0, 25, 20}}}},
        HeadCase{"w400", 400,
                 {{rg::titleLeft, {0, 0, 25, 20}}, {rg::titleFiller, {25, 0, 125, 20}},
                  {rg::titleCentre, {150, 0, 100, 20}}, {rg::titleFiller, {250, 0, 200, 20}},
                  {rg::titleRight, {375, 0, 25, 20}}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ChromePieces, LeftBorderIsRow42AndOthersFollowTheSize)
{
    EXPECT_EQ(sk::leftPieces(), (std::vector<sk::Blit>{{{0, 42, 11, 1}, {0, 0, 11, 1}}}));
    EXPECT_EQ(sk::rightPieces(212), (std::vector<sk::Blit>{{rg::rightSide, {0, 0, 19, 212}}}));
    EXPECT_EQ(sk::footPieces(400),
              (std::vector<sk::Blit>{{rg::footLeft, {0, 0, 12, 11}}, {rg::footFiller, {12, 0, 377, 11}}}));
    EXPECT_EQ(sk::sideHeight(243), 212);
}

TEST(ChromePieces, ComposeCopiesAndStretchesAndCutsAtTheEdge)
{
    QImage skin(280, 186, QImage::Format_RGB32);
    skin.fill(Qt::white);
    skin.setPixel(127, 0, qRgb(1, 2, 3));  // the filler's first column
    const QImage out = sk::compose(skin, {150, 20}, sk::headPieces(150));
    EXPECT_EQ(out.size(), QSize(150, 20));
    // The right filler is stretched threefold from x 125; the corner covers it.
    EXPECT_EQ(out.pixel(125, 0), qRgb(255, 255, 255));
    const QImage filler = sk::compose(skin, {300, 20}, {{rg::titleFiller, {0, 0, 75, 20}}});
    EXPECT_EQ(filler.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(filler.pixel(2, 0), qRgb(1, 2, 3));
    EXPECT_EQ(filler.pixel(3, 0), qRgb(255, 255, 255));
    EXPECT_EQ(filler.pixel(200, 0), qRgb(0, 0, 0));  // nothing drawn there
}

struct FrameCase {
    const char *name;
    int w, h;
    bool search, loaded;
    QRect imgRight, Panel2, Panel1, panSearch, lblRightLine;
};

class Frames : public testing::TestWithParam<FrameCase> {};

TEST_P(Frames, MatchTheLayoutTable)
{
    const FrameCase &c = GetParam();
    const sk::SkinnedFrame f = c.loaded ? sk::loadedFrame(c.w, c.h, c.search) : sk::resizedFrame(c.w, c.h, c.search);
    EXPECT_EQ(f.imgHead, QRect(0, 0, c.w, 20));
    EXPECT_EQ(f.imgLeft, QRect(0, 20, 11, c.h - 31));
    EXPECT_EQ(f.imgFoot, QRect(0, c.h - 11, c.w - 11, 11));
    EXPECT_EQ(f.imgSize, QRect(c.w - 11, c.h - 11, 11, 11));
    EXPECT_EQ(f.cmdHide, QRect(c.w - 24, 0, 12, 12));
    EXPECT_EQ(f.cmdClose, QRect(c.w - 12, 0, 12, 12));
    EXPECT_EQ(f.panToolBar, QRect(31, 20, 81, 21));
    EXPECT_EQ(f.panFormat, QRect(11, 42, 25, c.h - 53));
    EXPECT_EQ(f.lblTopLine, QRect(33, 41, c.w - 52, 1));
    EXPECT_EQ(f.thumbLeft, c.w - 15);
    EXPECT_EQ(f.imgRight, c.imgRight);
    EXPECT_EQ(f.Panel2, c.Panel2);
    EXPECT_EQ(f.Panel1, c.Panel1);
    EXPECT_EQ(f.panSearch, c.panSearch);
    EXPECT_EQ(f.lblRightLine, c.lblRightLine);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Frames,
    testing::Values(
        FrameCase{"resized150", 150, 243, false, false, {131, 20, 25, 218}, {36, 42, 95, 190}, {92, 22, 39, 17},
                  {11, 210, 120, 22}, {131, 41, 1, 170}},
        FrameCase{"resized400Search", 400, 300, true, false, {381, 20, 25, 275}, {36, 42, 345, 225},
                  {92, 22, 289, 17}, {11, 267, 370, 22}, {381, 41, 1, 227}},
        // Right after loading: the right border is 19 wide, the editor 4 shorter.
        FrameCase{"loaded151", 151, 243, false, true, {132, 20, 19, 218}, {36, 42, 96, 186}, {92, 22, 40, 17},
                  {11, 210, 121, 22}, {131, 41, 1, 170}},
        FrameCase{"loaded400Search", 400, 300, true, true, {381, 20, 19, 275}, {36, 42, 344, 221},
                  {92, 22, 289, 17}, {11, 267, 370, 22}, {380, 41, 1, 227}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(BuiltInFrame, LeavesTheFormatBarBesideTheEditor)
{
    const sk::BuiltInFrame f = sk::builtInFrame(300, 280, true);
    EXPECT_EQ(f.panToolBar, QRect(20, 0, 81, 21));
    EXPECT_EQ(f.Panel1, QRect(81, 2, 219, 17));
    EXPECT_EQ(f.panFormat, QRect(0, 22, 25, 236));
    EXPECT_EQ(f.Panel2, QRect(25, 22, 275, 236));
    EXPECT_EQ(f.panSearch, QRect(0, 258, 300, 22));
}

struct RoundCase {
    long long num, den, expected;
};
class RoundHalfEven : public testing::TestWithParam<RoundCase> {};
TEST_P(RoundHalfEven, Rounds)
{
    EXPECT_EQ(sk::roundHalfEven(GetParam().num, GetParam().den), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, RoundHalfEven,
                         testing::Values(RoundCase{5, 2, 2}, RoundCase{7, 2, 4}, RoundCase{1, 2, 0},
                                         RoundCase{10, 3, 3}, RoundCase{11, 3, 4}, RoundCase{-5, 2, -2},
                                         RoundCase{-7, 2, -4}, RoundCase{6, 3, 2}));

struct GripCase {
    const char *name;
    QSize start;
    QPoint drag;  // how far the pointer moved from the grab point
    QSize expected;
};
class Grip : public testing::TestWithParam<GripCase> {};
TEST_P(Grip, StepsInFivesAndStopsAtTheMinimum)
{
    const GripCase &c = GetParam();
    EXPECT_EQ(sk::gripStep(c.start, {5, 5}, QPoint(5, 5) + c.drag), c.expected);
}
INSTANTIATE_TEST_SUITE_P(
    Drags, Grip,
    testing::Values(GripCase{"right3", {300, 300}, {3, 0}, {300, 300}},
                    GripCase{"right5", {300, 300}, {5, 0}, {305, 300}},
                    GripCase{"down10", {300, 300}, {0, 10}, {300, 310}},
                    GripCase{"left5up7", {300, 300}, {-5, -7}, {295, 295}},
                    GripCase{"fastDragSkipsSteps", {300, 300}, {27, 13}, {325, 310}},
                    GripCase{"belowMinimum", {155, 250}, {-20, -30}, {150, 243}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Thumb, FollowsTheCaretWithinItsTravel)
{
    // 100 lines in a 360-pixel window, caret on line 50: 30 + 50 * 300 / 100.
    const sk::ThumbInput in{100, 14, 360, 240};
    EXPECT_EQ(sk::thumbTopForCaret(in, 50), 180);
    EXPECT_EQ(sk::thumbTopForCaret(in, 0), 30);
    EXPECT_EQ(sk::thumbTopForCaret(in, 99), 327);
    EXPECT_EQ(sk::thumbTopForCaret(in, 500), 330);  // clamped to H - 30
    // Text that fits (ratio below 1) leaves the thumb alone.
    EXPECT_EQ(sk::thumbTopForCaret({10, 14, 360, 240}, 5), std::nullopt);
    EXPECT_EQ(sk::thumbTopForCaret({0, 14, 360, 240}, 0), std::nullopt);
}

struct DragCase {
    const char *name;
    sk::ThumbInput in;
    int top, y, grabY;
    sk::ThumbMove expected;
};
class ThumbDrag : public testing::TestWithParam<DragCase> {};
TEST_P(ThumbDrag, MovesAndScrollsOnStepPositions)
{
    const DragCase &c = GetParam();
    EXPECT_EQ(sk::thumbDrag(c.in, c.top, c.y, c.grabY), c.expected);
}
// Editor 240 high, lines 14 high: 17 visible; 100 lines hide 83, step
// 240 / 83 rounds to 3, so the editor scrolls on tops 30, 33, 36, ...
INSTANTIATE_TEST_SUITE_P(
    Moves, ThumbDrag,
    testing::Values(DragCase{"downOnStep", {100, 14, 360, 240}, 30, 13, 10, {33, 1}},
                    DragCase{"downOffStep", {100, 14, 360, 240}, 30, 12, 10, {32, 0}},
                    DragCase{"upOffStep", {100, 14, 360, 240}, 40, 8, 10, {38, 0}},
                    DragCase{"upOffStep2", {100, 14, 360, 240}, 40, 7, 10, {37, 0}},
                    DragCase{"upOnStep", {100, 14, 360, 240}, 40, 9, 10, {39, -1}},
                    DragCase{"clampBottom", {100, 14, 360, 240}, 320, 40, 10, {330, 0}},
                    DragCase{"clampTop", {100, 14, 360, 240}, 35, 0, 10, {30, 0}},
                    DragCase{"textFits", {10, 14, 360, 240}, 50, 30, 10, {50, 0}},
                    // Nothing hidden while the ratio is 1 or more: no step.
                    DragCase{"nothingHidden", {22, 14, 360, 308}, 30, 13, 10, {33, 0}},
                    // More hidden lines than twice the editor's height: the step rounds to 0.
                    DragCase{"stepZero", {1000, 14, 360, 240}, 30, 13, 10, {33, 0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Banner, ShowsThirtyFourWindowsThenEnds)
{
    const QString text = QStringLiteral("W E L C O M E !");
    ASSERT_EQ(text.size(), 15);
    const QString padded = QString(20, QLatin1Char(' ')) + text + QString(20, QLatin1Char(' '));
    for (int step = 1; step <= 34; ++step)
        EXPECT_EQ(sk::bannerWindow(text, 20, step), padded.mid(step - 1, 20)) << step;
    EXPECT_EQ(sk::bannerWindow(text, 20, 1), QString(20, QLatin1Char(' ')));
    EXPECT_EQ(sk::bannerWindow(text, 20, 35), std::nullopt);
    EXPECT_EQ(sk::bannerColumns(160, 8), 20);
    EXPECT_EQ(sk::bannerColumns(164, 8), 20);  // 20.5 rounds to even
    EXPECT_EQ(sk::bannerColumns(172, 8), 22);  // 21.5 rounds to even
    EXPECT_EQ(sk::bannerColumns(160, 0), 0);
}

struct ColourCase {
    const char *name;
    const char *value;
    quint32 expected;
};
class PleditColour : public testing::TestWithParam<ColourCase> {};
TEST_P(PleditColour, ReadsSixHexDigitsAfterTheFirstCharacterAsRedGreenBlue)
{
    EXPECT_EQ(sk::pleditColour(QString::fromLatin1(GetParam().value)), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Values, PleditColour,
    testing::Values(ColourCase{"red", "#FF0000", 0x0000FF}, ColourCase{"green", "#00FF00", 0x00FF00},
                    ColourCase{"blue", "#0000FF", 0xFF0000}, ColourCase{"yellowOnDarkRed", "#FFFF00", 0x00FFFF},
                    ColourCase{"defaultBackground", "ff0000", 0x00000F},
                    ColourCase{"defaultText", "00ff00", 0x00FF00}, ColourCase{"nonHex", "#GG0000", 0},
                    ColourCase{"empty", "", 0}, ColourCase{"short", "#abc", 0xBC0A00},
                    ColourCase{"trailingComment", "#102030 = dark", 0x302010},
                    ColourCase{"hexPrefixIsNotHex", "#0x1234", 0}),
    [](const auto &info) { return std::string(info.param.name); });

struct KindCase {
    const char *name;
    sk::SkinKind kind;
};
class Kinds : public testing::TestWithParam<KindCase> {};
TEST_P(Kinds, ComparesTheExtensionExactly)
{
    EXPECT_EQ(sk::kindOf(QString::fromLatin1(GetParam().name)), GetParam().kind);
}
INSTANTIATE_TEST_SUITE_P(Names, Kinds,
                         testing::Values(KindCase{"<none>", sk::SkinKind::BuiltIn},
                                         KindCase{"Blue", sk::SkinKind::Folder},
                                         KindCase{"Blue.wsz", sk::SkinKind::Archive},
                                         KindCase{"Blue.zip", sk::SkinKind::Archive},
                                         KindCase{"Blue.WSZ", sk::SkinKind::NoFolder},
                                         KindCase{"Blue.Zip", sk::SkinKind::NoFolder},
                                         KindCase{"Blue.green", sk::SkinKind::NoFolder}));
