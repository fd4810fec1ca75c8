#include "controls/controlstest.h"
#include "controls/darerlabel.h"


using namespace ctltest;
using tl::TDarerLabel;
namespace darer = tl::darer;

namespace {

class DarerLabelTest : public ::testing::Test {
protected:
    DarerLabelTest() : label(new TDarerLabel(back.widget()))
    {
        label->move(10, 10);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(16);
        f.setBold(true);
        f.setStyleStrategy(QFont::NoAntialias);  // exact text colours
        label->setFont(f);
    }
    QImage shot() const { return back.shot(label); }

    Backdrop back;
    TDarerLabel *label;
};

} // namespace

// --- published properties -----------------------------------------------------

struct InitialCase {
    const char *property;
    QVariant value;
};

class DarerInitialTest : public ::testing::TestWithParam<InitialCase> {};

TEST_P(DarerInitialTest, NewLabelStartsWith)
{
    TDarerLabel label;
    const QVariant got = label.property(GetParam().property);
    ASSERT_TRUE(got.isValid()) << "no property " << GetParam().property;
    if (GetParam().value.metaType() == QMetaType::fromType<int>())
        EXPECT_EQ(got.toInt(), GetParam().value.toInt());
    else
        EXPECT_EQ(got, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Published, DarerInitialTest,
    ::testing::Values(InitialCase{"TxtHiliteClr", QColor(0x80, 0x80, 0x80)},
                      InitialCase{"BeginColor", QColor(0x00, 0x80, 0x00)},  // 0x008000
                      InitialCase{"EndColor", QColor(0xFF, 0xFF, 0x00)},    // 0x00FFFF
                      InitialCase{"GradientStyle", int(darer::gsVertCenter)},
                      InitialCase{"TextStyle", int(TDarerLabel::tsNormal)},
                      InitialCase{"TextShadeType", int(TDarerLabel::stLight)},
                      InitialCase{"TextLayout", int(TDarerLabel::tlLeftRight)},
                      InitialCase{"FrameSize", 3}, InitialCase{"ShadowOffset", 2},
                      InitialCase{"BorderColor", QColor(Qt::black)}, InitialCase{"DrawBorder", true},
                      InitialCase{"ResizeBorder", 4}, InitialCase{"DesignMode", false},
                      InitialCase{"EditSelected", false}, InitialCase{"DarerCommand", QString()},
                      InitialCase{"FontColor", QColor(0x00, 0x00, 0xFF)},  // 0xFF0000
                      InitialCase{"Transparent", false}, InitialCase{"AutoSize", false}),
    [](const auto &info) { return std::string(info.param.property); });

TEST(DarerInitial, SystemColoursAndSize)
{
    TDarerLabel label;
    EXPECT_EQ(label.size(), QSize(75, 25));
    EXPECT_EQ(label.btnHiliteClr(), QApplication::palette().color(QPalette::Light));
    EXPECT_EQ(label.btnShadowClr(), QApplication::palette().color(QPalette::Dark));
    EXPECT_EQ(label.txtShadowClr(), QApplication::palette().color(QPalette::Dark));
}

struct ClampCase {
    const char *property;
    int set, readBack;
};

class DarerClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(DarerClampTest, OutOfRangeStoresTheInitialValue)
{
    TDarerLabel label;
    label.setProperty("FrameSize", 7);
    label.setProperty("ShadowOffset", 7);
    label.setProperty(GetParam().property, GetParam().set);
    EXPECT_EQ(label.property(GetParam().property).toInt(), GetParam().readBack);
}

INSTANTIATE_TEST_SUITE_P(Ranges, DarerClampTest,
                         ::testing::Values(ClampCase{"FrameSize", 11, 3}, ClampCase{"FrameSize", -1, 3},
                                           ClampCase{"FrameSize", 0, 0}, ClampCase{"FrameSize", 10, 10},
                                           ClampCase{"ShadowOffset", 0, 2}, ClampCase{"ShadowOffset", -4, 2},
                                           ClampCase{"ShadowOffset", 11, 2}, ClampCase{"ShadowOffset", 1, 1},
                                           ClampCase{"ShadowOffset", 10, 10}),
                         [](const auto &info) {
                             return std::string(info.param.property) + "_"
                                    + (info.param.set < 0 ? "minus" + std::to_string(-info.param.set)
                                                          : std::to_string(info.param.set));
                         });

// --- painting -------------------------------------------------------------------

TEST_F(DarerLabelTest, FrameRingsAndBorderAroundTheGradient)
{
    label->setGradientStyle(darer::gsNone);
    label->setBeginColor(QColor(10, 20, 30));
    label->setBtnHiliteClr(QColor(250, 250, 250));
    label->setBtnShadowClr(QColor(60, 60, 60));
    label->setBorderColor(QColor(200, 0, 0));
    label->setFrameSize(2);
    const QImage img = shot();
    const int r = img.width() - 1, b = img.height() - 1;
    EXPECT_EQ(img.pixelColor(0, 0), QColor(200, 0, 0));
    EXPECT_EQ(img.pixelColor(r, b), QColor(200, 0, 0));
    EXPECT_EQ(img.pixelColor(1, 5), QColor(250, 250, 250));
    EXPECT_EQ(img.pixelColor(5, 1), QColor(250, 250, 250));
    EXPECT_EQ(img.pixelColor(r - 1, 5), QColor(60, 60, 60));
    EXPECT_EQ(img.pixelColor(5, b - 1), QColor(60, 60, 60));
    EXPECT_EQ(img.pixelColor(2, 5), QColor(10, 20, 30));
    EXPECT_EQ(img.pixelColor(r - 2, b - 2), QColor(10, 20, 30));
}

TEST_F(DarerLabelTest, SeparatorLineShowsOnlyItsGradient)
{
    label->setGeometry(10, 10, 300, 1);
    label->setGradientStyle(darer::gsHorizontal);
    label->setFrameSize(0);
    label->setDrawBorder(false);
    label->setBeginColor(Qt::black);
    label->setEndColor(Qt::white);
    const QImage img = shot();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(299, 0), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(150, 0).red(), 128);
}

TEST_F(DarerLabelTest, TransparentLabelPaintsOnlyItsText)
{
    label->setTransparent(true);
    label->setGradientStyle(darer::gsNone);
    EXPECT_EQ(countColour(shot(), kParent), 75 * 25) << "no caption: nothing at all";
    label->setCaption(QStringLiteral("Hi"));
    const QImage img = shot();
    EXPECT_GT(countColour(img, label->fontColor()), 10);
    // Everything else is the parent.
    EXPECT_EQ(countColour(img, kParent) + countColour(img, label->fontColor()), 75 * 25);
}

TEST_F(DarerLabelTest, ImageStyleLeavesTheParentBehindTheBorder)
{
    label->setGradientStyle(darer::gsImage);
    label->setFrameSize(0);
    const QImage img = shot();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(30, 12), kParent);
}

TEST_F(DarerLabelTest, TextOnlyDrawsPlainTextWithoutFrames)
{
    label->setGradientStyle(darer::gsTextOnly);
    label->setBeginColor(QColor(0, 40, 0));
    label->setTextStyle(TDarerLabel::tsRaised);
    label->setTxtHiliteClr(QColor(0, 255, 0));
    label->setCaption(QStringLiteral("Ok"));
    const QImage img = shot();
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 40, 0)) << "no border";
    EXPECT_EQ(countColour(img, QColor(0, 255, 0)), 0) << "no highlight copy";
    EXPECT_GT(countColour(img, label->fontColor()), 10);
}

struct TextCase {
    const char *name;
    TDarerLabel::TextStyle style;
    TDarerLabel::TextShadeType shade;
    // Offsets of each copy from the centred text, in shadow offsets;
    // -1 means that copy is not drawn.
    int hilite, shadow, font;
};

class DarerTextTest : public DarerLabelTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(DarerTextTest, CopiesSitWhereTheStyleSays)
{
    const TextCase &c = GetParam();
    const QColor hilite(0, 255, 0), shadow(255, 255, 0), text(0, 0, 255);
    label->resize(120, 50);
    label->setGradientStyle(darer::gsNone);
    label->setBeginColor(QColor(40, 40, 40));
    label->setFrameSize(0);
    label->setDrawBorder(false);
    label->setTextStyle(c.style);
    label->setTextShadeType(c.shade);
    label->setTxtHiliteClr(hilite);
    label->setTxtShadowClr(shadow);
    label->setFontColor(text);
    label->setCaption(QStringLiteral("IIII"));  // straight strokes: copies do not hide each other's left edge
    label->setShadowOffset(3);

    // Where the text lands with no offset: the plain copy with offset 1, minus 1.
    TDarerLabel ref(back.widget());
    ref.setGeometry(label->geometry());
    ref.setFont(label->font());
    ref.setGradientStyle(darer::gsNone);
    ref.setBeginColor(QColor(40, 40, 40));
    ref.setFrameSize(0);
    ref.setDrawBorder(false);
    ref.setFontColor(text);
    ref.setCaption(label->caption());
    ref.setShadowOffset(1);
    const QPoint centre = boxOf(back.shot(&ref), text).topLeft() - QPoint(1, 1);
    ref.hide();

    const QImage img = shot();
    auto check = [&](QColor colour, int steps, const char *what) {
        const QRect box = boxOf(img, colour);
        if (steps < 0) {
            EXPECT_TRUE(box.isNull()) << what << " drawn";
            return;
        }
        ASSERT_FALSE(box.isNull()) << what << " missing";
        // The later copies cover part of the earlier ones but not their left end.
        EXPECT_EQ(box.left(), centre.x() + 3 * steps) << what;
    };
    check(hilite, c.hilite, "highlight");
    check(shadow, c.shadow, "shadow");
    check(text, c.font, "text");
}

INSTANTIATE_TEST_SUITE_P(Styles, DarerTextTest,
                         ::testing::Values(TextCase{"Normal", TDarerLabel::tsNormal, TDarerLabel::stHeavy, -1, -1, 1},
                                           TextCase{"RaisedLight", TDarerLabel::tsRaised, TDarerLabel::stLight, 0, -1, 1},
                                           TextCase{"RaisedHeavy", TDarerLabel::tsRaised, TDarerLabel::stHeavy, 0, 2, 1},
                                           TextCase{"InsetLight", TDarerLabel::tsInset, TDarerLabel::stLight, 2, -1, 1},
                                           TextCase{"InsetHeavy", TDarerLabel::tsInset, TDarerLabel::stHeavy, 2, 0, 1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DarerLabelTest, UpDownLayoutStacksTheCharacters)
{
    label->resize(60, 120);
    label->setGradientStyle(darer::gsNone);
    label->setCaption(QStringLiteral("WWW"));
    const QRect across = boxOf(shot(), label->fontColor());
    label->setTextLayout(TDarerLabel::tlUpDown);
    const QRect down = boxOf(shot(), label->fontColor());
    ASSERT_FALSE(across.isNull());
    ASSERT_FALSE(down.isNull());
    EXPECT_GT(across.width(), across.height());
    EXPECT_GT(down.height(), 2 * down.width());
    // Still centred: the block's middle within a few pixels of the label's.
    EXPECT_NEAR(down.center().y(), 60 + 2, 4);
    EXPECT_NEAR(down.center().x(), 30 + 2, 4);
}

TEST_F(DarerLabelTest, ChangedPropertyRepaintsWithTheNewValue)
{
    label->setGradientStyle(darer::gsNone);
    label->setBeginColor(QColor(1, 100, 1));
    EXPECT_EQ(shot().pixelColor(30, 12), QColor(1, 100, 1));
    label->setBeginColor(QColor(100, 1, 1));
    EXPECT_EQ(shot().pixelColor(30, 12), QColor(100, 1, 1));
    label->resize(40, 40);
    EXPECT_EQ(shot().size(), QSize(40, 40));
    EXPECT_EQ(shot().pixelColor(35, 35), QColor(100, 1, 1));
}

// --- design mode ----------------------------------------------------------------

TEST_F(DarerLabelTest, EnteringSelectsAndDrawsTheDottedFrame)
{
    label->setGradientStyle(darer::gsNone);
    label->setBeginColor(Qt::black);
    enter(label, {20, 10});
    EXPECT_FALSE(label->editSelected()) << "not in design mode";
    label->setDesignMode(true);
    enter(label, {20, 10});
    EXPECT_TRUE(label->editSelected());
    const QImage img = shot();
    int dots = 0;
    for (int x = 1; x < 74; ++x)
        dots += img.pixelColor(x, 1) == QColor(0, 0, 255);
    EXPECT_GT(dots, 15);
    EXPECT_LT(dots, 60) << "dotted, not solid";
    leave(label);
    EXPECT_FALSE(label->editSelected());
    EXPECT_EQ(countColour(shot(), QColor(0, 0, 255)), 0);
}

struct DragCase {
    const char *name;
    QPoint pressAt;  // in the 75 x 25 label at (10, 10)
    QPoint by;
    QRect result;
};

class DarerDragTest : public DarerLabelTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DarerDragTest, MovesOrResizesAndReportsThePosition)
{
    label->setDesignMode(true);
    enter(label, GetParam().pressAt);
    std::vector<QPoint> moved;
    QObject::connect(label, &TDarerLabel::posChanged, label, [&](int l, int t) { moved.emplace_back(l, t); });
    drag(label, GetParam().pressAt, {GetParam().by / 2, GetParam().by});
    EXPECT_EQ(label->geometry(), GetParam().result);
    EXPECT_EQ(moved, std::vector<QPoint>{GetParam().result.topLeft()});
}

INSTANTIATE_TEST_SUITE_P(
    Zones, DarerDragTest,
    ::testing::Values(DragCase{"Inside", {30, 12}, {15, -4}, {25, 6, 75, 25}},
                      DragCase{"RightEdge", {73, 12}, {20, 9}, {10, 10, 95, 25}},
                      DragCase{"LeftEdge", {1, 12}, {-6, 9}, {4, 10, 81, 25}},
                      DragCase{"BottomEdge", {30, 23}, {4, 10}, {10, 10, 75, 35}},
                      DragCase{"TopLeftCorner", {0, 0}, {5, 5}, {15, 15, 70, 20}},
                      DragCase{"BottomRightCorner", {74, 24}, {-10, -10}, {10, 10, 65, 15}},
                      DragCase{"LeftPastRight", {1, 12}, {200, 0}, {84, 10, 1, 25}},
                      DragCase{"BottomPastTop", {30, 24}, {0, -100}, {10, 10, 75, 1}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DarerLabelTest, HoverPicksTheSizingCursor)
{
    label->setDesignMode(true);
    enter(label, {30, 12});
    const struct {
        QPoint at;
        Qt::CursorShape shape;
    } rows[] = {{{30, 12}, Qt::ArrowCursor},    {{1, 12}, Qt::SizeHorCursor},   {{73, 12}, Qt::SizeHorCursor},
                {{30, 1}, Qt::SizeVerCursor},   {{30, 23}, Qt::SizeVerCursor},  {{1, 1}, Qt::SizeFDiagCursor},
                {{74, 24}, Qt::SizeFDiagCursor}, {{73, 1}, Qt::SizeBDiagCursor}, {{1, 23}, Qt::SizeBDiagCursor}};
    for (const auto &r : rows) {
        hover(label, r.at);
        EXPECT_EQ(label->cursor().shape(), r.shape) << r.at.x() << "," << r.at.y();
    }
    label->setDesignMode(false);
    EXPECT_EQ(label->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(DarerLabelTest, OutsideDesignModeMouseActsAsOnAnyLabel)
{
    int moved = 0, clicked = 0, down = 0;
    QObject::connect(label, &TDarerLabel::posChanged, label, [&] { ++moved; });
    QObject::connect(label, &TDarerLabel::clicked, label, [&] { ++clicked; });
    QObject::connect(label, &TDarerLabel::mouseDown, label, [&] { ++down; });
    enter(label, {30, 12});
    drag(label, {30, 12}, {{3, 3}});
    EXPECT_EQ(label->geometry(), QRect(10, 10, 75, 25));
    EXPECT_EQ(moved, 0);
    EXPECT_EQ(down, 1);
    EXPECT_EQ(clicked, 1);
}

TEST_F(DarerLabelTest, PressWithoutMovingReportsNothing)
{
    label->setDesignMode(true);
    enter(label, {30, 12});
    int moved = 0;
    QObject::connect(label, &TDarerLabel::posChanged, label, [&] { ++moved; });
    drag(label, {30, 12}, {});
    EXPECT_EQ(moved, 0);
    EXPECT_TRUE(label->editSelected());
}
