#include "controls/controlstest.h"
#include "controls/flatbutton.h"
#include "platform/colors.h"

#include <QPainter>
#include <QTest>

using namespace ctltest;
using tl::FlatButton;

namespace {

constexpr quint32 kNormalBack = 0x00336699, kHoverBack = 0x00CCBB11, kText = 0x000000FF;

class FlatButtonTest : public ::testing::Test {
protected:
    FlatButtonTest() : button(new FlatButton(back.widget()))
    {
        button->setGeometry(10, 10, 40, 24);
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(14);
        f.setStyleStrategy(QFont::NoAntialias);  // exact text colours
        button->setNormalLook({f, kText, kNormalBack});
        button->setHoverLook({f, kText, kHoverBack});
        back.widget()->show();
    }
    QColor corner() const { return back.shot(button).pixelColor(1, 1); }

    Backdrop back;
    FlatButton *button;
};

} // namespace

TEST_F(FlatButtonTest, BackgroundFollowsTheState)
{
    EXPECT_EQ(corner(), tl::colorFromStored(kNormalBack));
    QApplication::setActiveWindow(back.widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(back.widget()));
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(corner(), tl::colorFromStored(kHoverBack)) << "the keyboard's place shows as a hover";
    button->clearFocus();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(corner(), tl::colorFromStored(button->pressedBack()));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    button->setCheckable(true);
    button->setChecked(true);
    EXPECT_EQ(corner(), tl::colorFromStored(button->pressedBack())) << "a sticky button stays down";
    button->setChecked(false);
    EXPECT_EQ(corner(), tl::colorFromStored(kNormalBack));
}

TEST_F(FlatButtonTest, ShowsItsGlyphOrElseItsTextInTheLooksColour)
{
    button->setText(QStringLiteral("B"));
    EXPECT_GT(countColour(back.shot(button), tl::colorFromStored(kText)), 10);

    QImage glyph(12, 12, QImage::Format_RGB32);
    glyph.fill(QColor(0x10, 0xE0, 0x20));
    button->setIcon(QIcon(QPixmap::fromImage(glyph)));
    button->setIconSize(glyph.size());
    const QImage shot = back.shot(button);
    EXPECT_EQ(boxOf(shot, QColor(0x10, 0xE0, 0x20)).size(), glyph.size());
    EXPECT_EQ(boxOf(shot, QColor(0x10, 0xE0, 0x20)).center(), shot.rect().center());
    EXPECT_EQ(countColour(shot, tl::colorFromStored(kText)), 0);
}
