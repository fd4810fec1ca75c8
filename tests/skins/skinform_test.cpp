// The skinned main window: its looks, a synthetic skin checked pixel by
// pixel, and the chrome under the mouse.

#include "skinart.h"

#include "app/formfixture.h"
#include "controls/bgimage.h"
#include "controls/builtinart.h"
#include "controls/flatbutton.h"
#include "platform/widgetcolors.h"
#include "settings/settingstable.h"
#include "skins/skinfiles.h"
#include "skins/skinlayout.h"
#include "skins/skinspage.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QTimer>
#include <QWindow>

namespace s = tl::setting;
using tl::SettingsStore;

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint local)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

class SkinForm : public FormTest {
protected:
    // A synthetic skin named Synth in the skin folder, made current.
    TForm1 &startSkinned(QSize size, QStringList args = {})
    {
        const QString skins = dir + QStringLiteral("/skins");
        tltest::writeFile(skins + QStringLiteral("/Synth/pledit.bmp"),
                          skintest::bmpBytes(skintest::syntheticPicture(), 24));
        tltest::writeFile(skins + QStringLiteral("/Synth/pledit.txt"), "[Text]\nNormalBG=#102030\nNormal=#C0C0C0\n");
        const SettingsStore st = settings();
        st.SetFromReg(SettingsStore::q(s::SkinDir), skins);
        st.SetFromReg(SettingsStore::q(s::CurrentSkin), QStringLiteral("Synth"));
        st.SetFromRegInt(SettingsStore::q(s::W), size.width());
        st.SetFromRegInt(SettingsStore::q(s::H), size.height());
        return start(args);
    }

    void expectChrome(TForm1 &f)
    {
        const QImage g = f.grab().toImage();
        const int W = f.width(), H = f.height(), c = (W + 1) / 2;
        ASSERT_EQ(g.size(), QSize(W, H));
        auto at = [&](int x, int y) { return g.pixel(x, y) | 0xff000000u; };
        EXPECT_EQ(at(12, 15), skintest::titleLeft);
        EXPECT_EQ(at(c - 50, 15), skintest::titleCentre);
        EXPECT_EQ(at(c + 49, 15), skintest::titleCentre);
        EXPECT_EQ(at(c - 51, 15), c - 75 > 0 ? skintest::titleFiller : skintest::titleLeft);
        EXPECT_EQ(at(c + 50, 15), skintest::titleFiller);
        EXPECT_EQ(at(W - 25, 15), skintest::titleRight);
        EXPECT_EQ(at(W - 1, 3), skintest::titleRight);  // under the invisible hot areas
        EXPECT_EQ(at(5, 25), skintest::leftRow42);
        EXPECT_EQ(at(5, H - 15), skintest::leftRow42);  // only row 42, repeated
        EXPECT_EQ(at(W - 3, 100), skintest::rightSide);
        EXPECT_EQ(at(W - 12, f.imgScroll->y() + 5), skintest::thumb);
        EXPECT_EQ(at(5, H - 5), skintest::footLeft);
        EXPECT_EQ(at(100, H - 5), skintest::footFiller);
        EXPECT_EQ(at(W - 14, H - 5), skintest::footFiller);
        EXPECT_EQ(at(W - 5, H - 5), skintest::grip);
    }
};

} // namespace

TEST_F(SkinForm, StartsFramelessInTheBuiltInSkinAndSwitchesToTheFramedLook)
{
    TForm1 &f = start();
    EXPECT_TRUE(f.SkinLoaded);
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(f.GetFromReg(s::CurrentSkin), QStringLiteral("<none>"));
    EXPECT_EQ(f.SkinBitmap.size(), tl::skin::pictureSize);
    EXPECT_FALSE(f.imgHead->isHidden());
    EXPECT_EQ(f.memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    for (int slot = 1; slot <= 6; ++slot)
        EXPECT_TRUE(f.cursorSlots[size_t(slot)].has_value()) << slot;

    f.LoadSkinStd();
    EXPECT_FALSE(f.SkinLoaded);
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(f.isVisible());
    for (QWidget *w : std::initializer_list<QWidget *>{f.imgHead, f.imgLeft, f.imgRight, f.imgFoot, f.imgSize,
                                                        f.imgScroll, f.cmdClose, f.cmdHide})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(f.GetFromReg(s::CurrentSkin), QStringLiteral("<none>"));

    f.LoadSkin(QStringLiteral("<none>"));
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(f.isVisible());
}

TEST_F(SkinForm, SyntheticSkinIsDrawnPixelExactAtTwoSizes)
{
    TForm1 &f = startSkinned({320, 280});
    ASSERT_EQ(f.GetFromReg(s::CurrentSkin), QStringLiteral("Synth"));
    ASSERT_EQ(f.size(), QSize(320, 280));
    EXPECT_EQ(tl::storedBack(f.memo1), 0x302010u);
    expectChrome(f);
    // Right after a load the editor panel is H - 57 high, after a resize H - 53.
    f.LoadSkin(QStringLiteral("Synth"));
    EXPECT_EQ(f.Panel2->geometry(), QRect(36, 42, 265, 223));
    f.resize(320, 281);
    EXPECT_EQ(f.Panel2->geometry(), QRect(36, 42, 265, 228));
    f.resize(320, 280);

    // A grip drag of (45, 25) rebuilds everything for 365 x 305 (odd width).
    mouse(f.imgSize, QEvent::MouseButtonPress, {5, 5});
    mouse(f.imgSize, QEvent::MouseMove, {50, 30});
    mouse(f.imgSize, QEvent::MouseButtonRelease, {5, 5});
    ASSERT_EQ(f.size(), QSize(365, 305));
    EXPECT_EQ(f.imgRight->geometry(), QRect(346, 20, 19, 274));
    EXPECT_EQ(f.Panel2->geometry(), QRect(36, 42, 310, 252));
    expectChrome(f);
}

TEST_F(SkinForm, ASmallSkinPictureIsUsedAndStaysTheChosenSkin)
{
    const QString skins = dir + QStringLiteral("/skins");
    tltest::writeFile(skins + QStringLiteral("/Small/pledit.bmp"),
                      skintest::bmpBytes(skintest::syntheticPicture({200, 100}), 24));
    settings().SetFromReg(SettingsStore::q(s::SkinDir), skins);
    settings().SetFromReg(SettingsStore::q(s::CurrentSkin), QStringLiteral("Small"));
    TForm1 &f = start();
    EXPECT_EQ(settings().GetFromReg(SettingsStore::q(s::CurrentSkin)), QStringLiteral("Small"));
    EXPECT_EQ(tl::storedBack(f.memo1), 0x00000Fu);  // the skin's colours (no pledit.txt), not the built-in ones
    const QImage g = f.grab().toImage();
    EXPECT_EQ(g.pixel(12, 15) | 0xff000000u, skintest::titleLeft);
    // The grip region lies beyond the small picture: the built-in grip shows.
    const QImage builtIn = tl::skin::readBitmap(tl::builtin::skinPicture);
    EXPECT_EQ(f.imgSize->image().pixel(5, 5), builtIn.pixel(270, 104));
}

class ResizedBy : public SkinForm, public testing::WithParamInterface<const char *> {};

TEST_P(ResizedBy, TheChromeFollowsASizeChangeNotMadeByTheGrip)
{
    TForm1 &f = startSkinned({320, 280});
    const QSize to(437, 333);
    if (QLatin1String(GetParam()) == QLatin1String("windowManager")) {
        // The window system's resize, as a maximise or a tiling manager does it.
        ASSERT_NE(f.windowHandle(), nullptr);
        f.windowHandle()->resize(to);
        QCoreApplication::processEvents();
    } else {
        f.resize(to);
    }
    ASSERT_EQ(f.size(), to);
    EXPECT_EQ(f.imgHead->image().width(), 437);
    EXPECT_EQ(f.imgFoot->image().width(), 426);
    EXPECT_EQ(f.imgRight->geometry(), QRect(418, 20, 19, 302));
    EXPECT_EQ(f.imgLeft->geometry(), QRect(0, 20, 11, 302));
    EXPECT_EQ(f.imgSize->geometry(), QRect(426, 322, 11, 11));
    expectChrome(f);
}

INSTANTIATE_TEST_SUITE_P(Ways, ResizedBy, testing::Values("resize", "windowManager"));

TEST_F(SkinForm, PressedThumbShowsItsOwnPiece)
{
    TForm1 &f = startSkinned({320, 280});
    mouse(f.imgScroll, QEvent::MouseButtonPress, {4, 4});
    EXPECT_EQ(f.imgScroll->image().pixel(4, 4), skintest::thumbPressed);
    mouse(f.imgScroll, QEvent::MouseButtonRelease, {4, 4});
    EXPECT_EQ(f.imgScroll->image().pixel(4, 4), skintest::thumb);
}

class MoveBy : public SkinForm, public testing::WithParamInterface<const char *> {};

TEST_P(MoveBy, DraggingAnyMovingElementMovesTheWindowExactly)
{
    TForm1 &f = start();
    auto *element = f.findChild<QWidget *>(QString::fromLatin1(GetParam()));
    ASSERT_NE(element, nullptr);
    f.move(100, 100);
    const QPoint before = f.pos(), grab(5, 5);
    mouse(element, QEvent::MouseButtonPress, grab);
    mouse(element, QEvent::MouseMove, grab + QPoint(7, 3));
    // The element moved with the window: the pointer is at the grab point again.
    mouse(element, QEvent::MouseButtonRelease, grab);
    EXPECT_EQ(f.pos() - before, QPoint(7, 3));
    mouse(element, QEvent::MouseMove, grab + QPoint(20, 20));  // released: nothing
    EXPECT_EQ(f.pos() - before, QPoint(7, 3));
}

TEST_F(SkinForm, AFastDragFollowsThePointerOnTheScreen)
{
    // Under X the window's own coordinates lag behind a move: events that
    // arrive before the window system has moved it carry stale positions.
    TForm1 &f = start();
    f.move(100, 100);
    const QPoint before = f.pos(), grab(5, 5), screenGrab = f.imgHead->mapToGlobal(grab);
    auto send = [&](QEvent::Type type, QPoint screen) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(grab), QPointF(screen), button, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.imgHead, &e);
    };
    send(QEvent::MouseButtonPress, screenGrab);
    send(QEvent::MouseMove, screenGrab + QPoint(10, 0));
    send(QEvent::MouseMove, screenGrab + QPoint(20, 4));
    send(QEvent::MouseButtonRelease, screenGrab + QPoint(20, 4));
    EXPECT_EQ(f.pos() - before, QPoint(20, 4));
}

TEST_P(MoveBy, ADragStartsFromWhereTheWindowReallyIs)
{
    // The window manager stopped an earlier drag short of where it was asked
    // to go: the press, not the window's own idea of its place, tells where
    // the window is.
    TForm1 &f = start();
    auto *element = f.findChild<QWidget *>(QString::fromLatin1(GetParam()));
    ASSERT_NE(element, nullptr);
    f.move(300, 200);
    const QPoint really(300, 188), grab(5, 5);
    const QPoint screenGrab = really + element->mapTo(&f, grab);
    auto send = [&](QEvent::Type type, QPoint screen) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(grab), QPointF(screen), button, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(element, &e);
    };
    send(QEvent::MouseButtonPress, screenGrab);
    send(QEvent::MouseMove, screenGrab + QPoint(40, 30));
    send(QEvent::MouseButtonRelease, screenGrab + QPoint(40, 30));
    EXPECT_EQ(f.pos(), really + QPoint(40, 30));
}

INSTANTIATE_TEST_SUITE_P(Elements, MoveBy, testing::Values("imgHead", "imgLeft", "imgRight", "imgFoot"));

struct GripDrag {
    const char *name;
    QSize start;
    QPoint drag;
    QSize expected;
};

class GripBy : public SkinForm, public testing::WithParamInterface<GripDrag> {};

TEST_P(GripBy, ResizesInFivePixelStepsAndRebuildsTheChrome)
{
    const GripDrag &c = GetParam();
    TForm1 &f = startSkinned(c.start);
    ASSERT_EQ(f.size(), c.start);
    const QPoint grab(5, 5);
    mouse(f.imgSize, QEvent::MouseButtonPress, grab);
    mouse(f.imgSize, QEvent::MouseMove, grab + c.drag);
    EXPECT_EQ(f.size(), c.expected);
    EXPECT_EQ(f.imgSize->pos(), QPoint(f.width() - 11, f.height() - 11));
    EXPECT_EQ(f.imgHead->image().width(), f.width());
    EXPECT_EQ(f.imgRight->height(), f.height() - 31);  // rebuilt by the grip
    // The pointer stays where it is; the grip has moved under it.
    mouse(f.imgSize, QEvent::MouseButtonRelease, grab + c.drag - QPoint(c.expected.width() - c.start.width(),
                                                                         c.expected.height() - c.start.height()));
    EXPECT_EQ(f.size(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Drags, GripBy,
                         testing::Values(GripDrag{"right3", {300, 300}, {3, 0}, {300, 300}},
                                         GripDrag{"right5", {300, 300}, {5, 0}, {305, 300}},
                                         GripDrag{"right10", {300, 300}, {10, 0}, {310, 300}},
                                         GripDrag{"down10", {300, 300}, {0, 10}, {300, 310}},
                                         GripDrag{"belowMinimum", {160, 250}, {-30, -30}, {150, 243}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SkinForm, ThumbFollowsTheCaretAndScrollsTheEditor)
{
    TForm1 &f = startSkinned({320, 360});
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QStringLiteral("line %1").arg(i);
    f.memo1->setPlainText(lines.join(QLatin1Char('\n')));
    QTextCursor cur(f.memo1->document()->findBlockByNumber(50));
    f.memo1->setTextCursor(cur);
    f.SyncScrollThumb(false);
    EXPECT_EQ(f.imgScroll->y(), 180);  // 30 + 50 * 300 / 100

    // Dragging down scrolls; the thumb never leaves 30 .. H - 30.
    f.memo1->verticalScrollBar()->setValue(0);
    f.imgScroll->move(f.imgScroll->x(), 30);
    mouse(f.imgScroll, QEvent::MouseButtonPress, {4, 4});
    for (int i = 0; i < 40; ++i)
        mouse(f.imgScroll, QEvent::MouseMove, {4, 5});
    EXPECT_GT(f.memo1->firstVisibleLine(), 0);
    for (int i = 0; i < 400; ++i)
        mouse(f.imgScroll, QEvent::MouseMove, {4, 14});
    EXPECT_EQ(f.imgScroll->y(), 330);
    mouse(f.imgScroll, QEvent::MouseButtonRelease, {4, 4});

    // Emptied by typing: back to the top; emptied otherwise: it stays.
    f.memo1->clear();
    f.SyncScrollThumb(false);
    EXPECT_EQ(f.imgScroll->y(), 330);
    f.SyncScrollThumb(true);
    EXPECT_EQ(f.imgScroll->y(), 30);
}

QStringList numberedLines(const QString &word, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << word + QString::number(i);
    return lines;
}

// Rich text as the editor stores it.
QString rtfOf(const QStringList &lines)
{
    return QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 ") + lines.join(QStringLiteral("\\par ")) + QLatin1Char('}');
}

TEST_F(SkinForm, EveryNoteAndDocumentShownPutsTheThumbAtItsFirstLine)
{
    const QString notes = tltest::writeFile(
        dir + QStringLiteral("/Long.nts"),
        (QStringLiteral("<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/><compresslevel/>"
                        "</info><notes><note>")
         + rtfOf(numberedLines(QStringLiteral("a"), 200)) + QStringLiteral("</note><note>")
         + rtfOf(numberedLines(QStringLiteral("b"), 200)) + QStringLiteral("</note></notes></root>"))
            .toUtf8());
    TForm1 &f = startSkinned({320, 360}, {notes});
    ASSERT_EQ(f.memo1->lineCount(), 200);
    ASSERT_EQ(f.memo1->caretLine(), 0);
    EXPECT_EQ(f.imgScroll->y(), 30) << "opened";
    // Held at the top, a drag down scrolls the editor at once.
    mouse(f.imgScroll, QEvent::MouseButtonPress, {4, 4});
    for (int i = 0; i < 10; ++i)
        mouse(f.imgScroll, QEvent::MouseMove, {4, 5});
    mouse(f.imgScroll, QEvent::MouseButtonRelease, {4, 5});
    EXPECT_GT(f.memo1->firstVisibleLine(), 0);
    EXPECT_GT(f.imgScroll->y(), 30);

    QTest::mouseClick(f.cmdNext, Qt::LeftButton);
    ASSERT_EQ(f.CurrentNote(), 1);
    EXPECT_EQ(f.imgScroll->y(), 30) << "next";
    auto caretToTheEnd = [&f] {
        f.memo1->moveCursor(QTextCursor::End);
        f.SyncScrollThumb(false);
        ASSERT_GT(f.imgScroll->y(), 300);
    };
    caretToTheEnd();
    QTest::mouseClick(f.cmdBack, Qt::LeftButton);
    ASSERT_EQ(f.CurrentNote(), 0);
    EXPECT_EQ(f.imgScroll->y(), 30) << "back";

    // A document that fits takes the thumb back to the top as well.
    for (const auto &[name, count] : {std::pair{"Long.rtf", 200}, {"Long.txt", 200}, {"Short.txt", 2}}) {
        caretToTheEnd();
        const QStringList lines = numberedLines(QStringLiteral("c"), count);
        const bool plain = QLatin1String(name).endsWith(QLatin1String(".txt"));
        const QString document = tltest::writeFile(dir + QLatin1Char('/') + QLatin1String(name),
                                                   (plain ? lines.join(QLatin1Char('\n')) : rtfOf(lines)).toUtf8());
        f.File1Click(document);
        ASSERT_EQ(f.CurrentFile(), document);
        ASSERT_EQ(f.memo1->lineCount(), count) << name;
        EXPECT_EQ(f.imgScroll->y(), 30) << name;
    }
}

// Find puts the caret on a hit deep in a long note, in the note shown or in
// another one: the thumb goes where the caret is, as a key press takes it.
TEST_F(SkinForm, TheThumbFollowsFindToItsHit)
{
    QStringList first = numberedLines(QStringLiteral("a"), 200), second = numberedLines(QStringLiteral("b"), 200);
    first[120] = QStringLiteral("needle");
    second[150] = QStringLiteral("needle");
    const QString notes = tltest::writeFile(
        dir + QStringLiteral("/Long.nts"),
        (QStringLiteral("<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/><compresslevel/>"
                        "</info><notes><note>")
         + rtfOf(first) + QStringLiteral("</note><note>") + rtfOf(second) + QStringLiteral("</note></notes></root>"))
            .toUtf8());
    TForm1 &f = startSkinned({320, 360}, {notes});
    QApplication::setActiveWindow(&f);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    ASSERT_EQ(f.imgScroll->y(), 30);
    auto key = [](Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(QApplication::focusWidget(), k, mods); };
    key(Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("needle"));
    key(Qt::Key_Return);
    ASSERT_EQ(f.CurrentNote(), 0);
    ASSERT_EQ(f.memo1->caretLine(), 120);
    EXPECT_EQ(f.imgScroll->y(), 30 + 120 * 300 / 200) << "in the note shown";
    key(Qt::Key_F3);
    ASSERT_EQ(f.CurrentNote(), 1);
    ASSERT_EQ(f.memo1->caretLine(), 150);
    EXPECT_EQ(f.imgScroll->y(), 30 + 150 * 300 / 200) << "in the next note";
}

TEST_F(SkinForm, ShortNoteLeavesTheThumbAlone)
{
    TForm1 &f = startSkinned({320, 360});
    f.memo1->setPlainText(QStringLiteral("one\ntwo"));
    const int top = f.imgScroll->y();
    mouse(f.imgScroll, QEvent::MouseButtonPress, {4, 4});
    mouse(f.imgScroll, QEvent::MouseMove, {4, 40});
    mouse(f.imgScroll, QEvent::MouseButtonRelease, {4, 40});
    EXPECT_EQ(f.imgScroll->y(), top);
}

TEST_F(SkinForm, WelcomeBannerShowsItsWindowsThenTheRecordInformation)
{
    TForm1 &f = start();
    EXPECT_TRUE(f.timeScroll->isActive());
    EXPECT_EQ(f.bannerStep, 1);
    f.timeScroll->stop();
    // The bar 20 "R"-widths wide in the fixed-pitch font the banner uses.
    f.timeScrollTimer();
    const int w = QFontMetrics(f.Panel1->font()).horizontalAdvance(QLatin1Char('R'));
    f.resize(111 + 20 * w, f.height());
    ASSERT_EQ(f.Panel1->width(), 20 * w);
    f.timeScroll->start();
    QStringList shown{f.Panel1->text()};  // window 1 was shown before the resize
    const QString padded = QString(20, QLatin1Char(' ')) + f.welcomeText() + QString(20, QLatin1Char(' '));
    EXPECT_EQ(shown[0], QString(20, QLatin1Char(' ')).left(shown[0].size()));
    while (f.bannerStep != 0 && shown.size() < 100) {
        f.timeScrollTimer();
        if (f.bannerStep != 0)
            shown << f.Panel1->text();
    }
    ASSERT_EQ(shown.size(), 34);
    for (int i = 1; i < 34; ++i)
        EXPECT_EQ(shown[i], padded.mid(i, 20)) << i;
    EXPECT_FALSE(f.timeScroll->isActive());
    EXPECT_EQ(f.Panel1->text(), f.noFileText());
}

struct BarLook {
    const char *name;
    bool framed;  // the built-in look takes the set without suffix
    const char *suffix;
    const char *family;
};
void PrintTo(const BarLook &look, std::ostream *os) { *os << look.name; }

class BannerEnd : public SkinForm, public testing::WithParamInterface<BarLook> {};

TEST_P(BannerEnd, GivesTheBarItsStoredFontBack)
{
    const BarLook &c = GetParam();
    TForm1 &f = start();
    f.timeScroll->stop();
    if (c.framed)
        f.LoadSkinStd();
    // As the Preferences store them while the banner runs.
    const SettingsStore st = settings();
    const QString sfx = QLatin1String(c.suffix);
    const QString family = QLatin1String(c.family);
    st.SetFromReg(QStringLiteral("InfoBarFontName") + sfx, family);
    st.SetFromRegInt(QStringLiteral("InfoBarFontSize") + sfx, 13);
    st.SetFromRegInt(QStringLiteral("InfoBarForeGrd") + sfx, 0x0000FF);
    st.SetFromRegInt(QStringLiteral("InfoBarBackGrd") + sfx, 0x00FFFF);
    st.SetFromReg(QStringLiteral("InfoBarStyle") + sfx, QStringLiteral("true"));
    ASSERT_EQ(f.bannerStep, 1);
    f.timeScrollTimer();
    ASSERT_TRUE(QFontInfo(f.Panel1->font()).fixedPitch());  // the banner's face
    for (int tick = 0; tick < 1000 && f.bannerStep != 0; ++tick)
        f.timeScrollTimer();
    ASSERT_EQ(f.bannerStep, 0);
    const QFont font = f.Panel1->font();
    EXPECT_EQ(font.family(), family);
    EXPECT_EQ(font.pointSize(), 13);
    EXPECT_TRUE(font.bold());
    // Where the face is missing, the stand-in must not be fixed-pitch either.
    EXPECT_FALSE(QFontInfo(font).fixedPitch());
    EXPECT_EQ(tl::storedFore(f.Panel1), 0x0000FFu);
    EXPECT_EQ(tl::storedBack(f.Panel1), 0x00FFFFu);
}

INSTANTIATE_TEST_SUITE_P(Looks, BannerEnd,
                         testing::Values(BarLook{"skinned", false, "Skin", "DejaVu Serif"},
                                         BarLook{"framed", true, "", "DejaVu Serif"},
                                         BarLook{"missingFace", false, "Skin", "Tahoma"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SkinForm, StartedHiddenRunsNoBanner)
{
    TForm1 &f = start({QStringLiteral("START")});
    EXPECT_FALSE(f.timeScroll->isActive());
}

TEST_F(SkinForm, HotAreasSitOverTheTitlesRightCornerAndMinimise)
{
    TForm1 &f = start();
    EXPECT_EQ(f.cmdClose->geometry(), QRect(f.width() - 12, 0, 12, 12));
    EXPECT_EQ(f.cmdHide->geometry(), QRect(f.width() - 24, 0, 12, 12));
    EXPECT_TRUE(f.cmdClose->text().isEmpty());
    EXPECT_EQ(f.lblFile->geometry(), QRect(8, 1, 14, 11));
    ASSERT_TRUE(f.isVisible());
    mouse(f.cmdHide, QEvent::MouseButtonPress, {3, 3});
    mouse(f.cmdHide, QEvent::MouseButtonRelease, {3, 3});
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.ExitRequested);
}

TEST_F(SkinForm, SecondSkinKeepsItsOwnColoursFirstSkinTakesTheStoredSet)
{
    TForm1 &f = startSkinned({320, 280});
    const QString skins = dir + QStringLiteral("/skins");
    tltest::writeFile(skins + QStringLiteral("/Other/pledit.bmp"), skintest::bmpBytes(skintest::syntheticPicture(), 8));
    tltest::writeFile(skins + QStringLiteral("/Other/pledit.txt"), "[Text]\nNormalBG=#050607\n");
    f.LoadSkin(QStringLiteral("Other"));
    EXPECT_EQ(tl::storedBack(f.memo1), 0x070605u);
    EXPECT_EQ(f.settings().GetFromRegInt(QStringLiteral("EditorBackGrdSkin")), 0x070605);
    EXPECT_EQ(f.GetFromReg(s::CurrentSkin), QStringLiteral("Other"));
    f.LoadSkin(QStringLiteral("Blue.WSZ"));
    EXPECT_EQ(f.GetFromReg(s::CurrentSkin), QStringLiteral("<none>"));
    EXPECT_TRUE(f.SkinLoaded);
}

namespace {

// The skin menu of the tray: built from the skin folder, and the way to
// switch skins.
class SkinMenu : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        skins = dir + QStringLiteral("/skins");
        settings().SetFromReg(SettingsStore::q(s::SkinDir), skins);
    }
    void putSkin(const QString &name)
    {
        tltest::writeFile(skins + QLatin1Char('/') + name + QStringLiteral("/pledit.bmp"),
                          skintest::bmpBytes(skintest::syntheticPicture(), 24));
    }
    static QStringList items(QMenu *m)
    {
        QStringList out;
        for (QAction *a : m->actions())
            if (!a->isSeparator())
                out << a->text();
        return out;
    }
    QString skins;
};

TEST_F(SkinMenu, ListsNoneThenFoldersZipsAndWsz)
{
    putSkin(QStringLiteral("Aqua"));
    tltest::writeFile(skins + QStringLiteral("/Empty/readme.txt"), "no picture");
    tltest::writeFile(skins + QStringLiteral("/Blue.wsz"), "not opened");
    tltest::writeFile(skins + QStringLiteral("/Red.zip"), "not opened");
    TForm1 &f = start();
    EXPECT_EQ(items(f.RecentSkins1), (QStringList{QStringLiteral("<none>"), QStringLiteral("Aqua"),
                                                  QStringLiteral("Red.zip"), QStringLiteral("Blue.wsz")}));
}

TEST_F(SkinMenu, NoSkinFolderGivesNoneOnly)
{
    settings().SetFromReg(SettingsStore::q(s::SkinDir), dir + QStringLiteral("/missing"));
    TForm1 &f = start();
    EXPECT_EQ(items(f.RecentSkins1), QStringList{QStringLiteral("<none>")});
}

TEST_F(SkinMenu, PickingASkinLoadsItAndStoresIt)
{
    putSkin(QStringLiteral("Aqua"));
    putSkin(QStringLiteral("Rock & Roll"));
    TForm1 &f = start();
    EXPECT_FALSE(f.imgHead->isVisible() && f.GetFromReg(s::CurrentSkin) != QStringLiteral("<none>"));
    QAction *rock = nullptr;
    for (QAction *a : f.RecentSkins1->actions())
        if (a->data().toString() == QStringLiteral("Rock & Roll"))
            rock = a;
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->text(), QStringLiteral("Rock && Roll")) << "a name is no access key";
    rock->trigger();
    EXPECT_EQ(settings().GetFromReg(SettingsStore::q(s::CurrentSkin)), QStringLiteral("Rock & Roll"));
    EXPECT_EQ(f.SkinBitmap.pixel(12, 15) | 0xff000000u, skintest::titleLeft);
    f.RecentSkins1->actions().first()->trigger();  // <none>
    EXPECT_EQ(settings().GetFromReg(SettingsStore::q(s::CurrentSkin)), QStringLiteral("<none>"));
}

TEST_F(SkinMenu, AtMost98SkinsAndTheMenuSaysWhenThereAreMore)
{
    for (int i = 0; i < 100; ++i)
        tltest::writeFile(skins + QStringLiteral("/s%1.zip").arg(i, 3, 10, QLatin1Char('0')), "x");
    TForm1 &f = start();
    const QStringList got = items(f.RecentSkins1);
    ASSERT_EQ(got.size(), 1 + 98 + 1);
    EXPECT_EQ(got.first(), QStringLiteral("<none>"));
    EXPECT_TRUE(got.last().contains(QStringLiteral("2 more")));
    EXPECT_FALSE(f.RecentSkins1->actions().last()->isEnabled());
}

TEST_F(SkinMenu, TheMenusTakeTheSkinsColours)
{
    putSkin(QStringLiteral("Synth"));
    tltest::writeFile(skins + QStringLiteral("/Synth/pledit.txt"), "[Text]\nNormalBG=#102030\nNormal=#C0C0C0\n");
    settings().SetFromReg(SettingsStore::q(s::CurrentSkin), QStringLiteral("Synth"));
    TForm1 &f = start();
    for (QMenu *m : {f.TrayPopUp, f.mnuMemo, f.mnuFile, f.RecentSkins1})
        EXPECT_EQ(m->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30)) << qPrintable(m->objectName());
    f.RecentSkins1->actions().first()->trigger();  // the built-in skin, its own colours
    EXPECT_NE(f.TrayPopUp->palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
}

TEST_F(SkinMenu, ThePreferencesPageListsTheSkinsWithoutNone)
{
    putSkin(QStringLiteral("Aqua"));
    tltest::writeFile(skins + QStringLiteral("/Blue.wsz"), "not opened");
    tltest::writeFile(skins + QStringLiteral("/Red.zip"), "not opened");
    TForm1 &f = start();
    TSkinsPage page(f.settings(), *f.services().dialogs);
    f.connectComponents(page);
    EXPECT_EQ(page.txtskin->text(), skins);
    EXPECT_TRUE(page.txtskin->isReadOnly());
    QStringList listed;
    for (int i = 0; i < page.SkinList->count(); ++i)
        listed << page.SkinList->item(i)->text();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Aqua"), QStringLiteral("Red.zip"), QStringLiteral("Blue.wsz")}));
    // Not cleared by a second listing.
    page.LoadListSkin();
    EXPECT_EQ(page.SkinList->count(), 6);
}

TEST_F(SkinMenu, AClickInThePreferencesListLoadsTheSkin)
{
    putSkin(QStringLiteral("Aqua"));
    TForm1 &f = start();
    TSkinsPage page(f.settings(), *f.services().dialogs);
    f.connectComponents(page);
    page.resize(300, 200);
    page.show();
    ASSERT_EQ(page.SkinList->count(), 1);
    const QRect at = page.SkinList->visualItemRect(page.SkinList->item(0));
    QTest::mouseClick(page.SkinList->viewport(), Qt::LeftButton, Qt::NoModifier, at.center());
    EXPECT_EQ(settings().GetFromReg(SettingsStore::q(s::CurrentSkin)), QStringLiteral("Aqua"));
}

TEST_F(SkinMenu, AnotherFolderRebuildsTheListAndTheMenuACancelChangesNothing)
{
    putSkin(QStringLiteral("Aqua"));
    const QString other = dir + QStringLiteral("/other");
    tltest::writeFile(other + QStringLiteral("/Green.wsz"), "x");
    TForm1 &f = start();
    TSkinsPage page(f.settings(), *f.services().dialogs);
    f.connectComponents(page);
    dialogs->folders = {QString()};  // cancelled
    QTest::mouseClick(page.cmdBrowse, Qt::LeftButton);
    EXPECT_EQ(page.txtskin->text(), skins);
    EXPECT_EQ(page.SkinList->count(), 1);

    dialogs->folders = {other};
    QTest::mouseClick(page.cmdBrowse, Qt::LeftButton);
    EXPECT_EQ(page.txtskin->text(), other);
    ASSERT_EQ(page.SkinList->count(), 1);
    EXPECT_EQ(page.SkinList->item(0)->text(), QStringLiteral("Green.wsz"));
    EXPECT_EQ(settings().GetFromReg(SettingsStore::q(s::SkinDir)), other);
    EXPECT_EQ(items(f.RecentSkins1), (QStringList{QStringLiteral("<none>"), QStringLiteral("Green.wsz")}));
}

} // namespace
