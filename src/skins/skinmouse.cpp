// The skinned window under the mouse: moving by the title, borders and
// bottom strip, sizing by the grip, scrolling by the thumb and the wheel.

#include "app/TForm1.h"

#include "controls/bgimage.h"
#include "controls/eventhook.h"
#include "controls/guarded.h"
#include "skins/skinlayout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>


namespace sk = tl::skin;

namespace {

QPoint at(QMouseEvent *e) { return e->position().toPoint(); }
// A move goes by the screen position: the window's own coordinates shift
// only once the window system has moved it, and a fast drag outruns that.
QPoint onScreen(QMouseEvent *e) { return e->globalPosition().toPoint(); }

} // namespace

void TForm1::wireSkinComponents()
{
    using tl::connectGuarded;
    using tl::GraphicControl;
    for (tl::TicBGimage *img : {imgHead, imgLeft, imgRight, imgFoot}) {
        connectGuarded(img, &GraphicControl::mouseDown, this, [this, img](QMouseEvent *e) {
            imgHeadMouseDown(onScreen(e), onScreen(e) - img->mapTo(this, at(e)));
        });
        connectGuarded(img, &GraphicControl::mouseMove, this,
                       [this](QMouseEvent *e) { imgHeadMouseMove(onScreen(e)); });
        connectGuarded(img, &GraphicControl::mouseUp, this, [this](QMouseEvent *e) { imgHeadMouseUp(onScreen(e)); });
    }
    connectGuarded(imgSize, &GraphicControl::mouseDown, this, [this](QMouseEvent *e) { imgSizeMouseDown(at(e)); });
    connectGuarded(imgSize, &GraphicControl::mouseMove, this, [this](QMouseEvent *e) { imgSizeMouseMove(at(e)); });
    connectGuarded(imgSize, &GraphicControl::mouseUp, this, [this](QMouseEvent *e) { imgSizeMouseUp(at(e)); });
    connectGuarded(imgScroll, &GraphicControl::mouseDown, this, [this](QMouseEvent *e) { imgScrollMouseDown(at(e)); });
    connectGuarded(imgScroll, &GraphicControl::mouseMove, this, [this](QMouseEvent *e) { imgScrollMouseMove(at(e)); });
    connectGuarded(imgScroll, &GraphicControl::mouseUp, this, [this](QMouseEvent *e) { imgScrollMouseUp(at(e)); });

    // The hot areas act on a release inside them, as a click does.
    auto clickArea = [this](QLabel *area, void (TForm1::*click)()) {
        new tl::EventHook(area, [this, area, click](QEvent *e) {
            if (e->type() != QEvent::MouseButtonRelease)
                return false;
            if (area->rect().contains(at(static_cast<QMouseEvent *>(e))))
                (this->*click)();
            return true;
        });
    };
    clickArea(cmdClose, &TForm1::cmdCloseClick);
    clickArea(cmdHide, &TForm1::cmdHideClick);

    // The thumb follows the caret once the editor has handled the event.
    auto later = [this](bool reset) {
        QTimer::singleShot(0, this, [this, reset] { tl::runGuarded([&] { SyncScrollThumb(reset); }); });
    };
    new tl::EventHook(memo1->viewport(), [this, later](QEvent *e) {
        if (e->type() == QEvent::MouseButtonPress)
            later(false);
        else if (e->type() == QEvent::Wheel) {
            const int notches = -static_cast<QWheelEvent *>(e)->angleDelta().y() / 120;
            if (notches != 0)
                memo1MouseWheel(notches);
        }
        return false;  // the editor scrolls by its own amount as well
    });
    new tl::EventHook(memo1, [later](QEvent *e) {
        if (e->type() == QEvent::KeyPress)
            later(true);
        return false;
    });
    connectGuarded(memo1, &QTextEdit::textChanged, this, [this] { SyncScrollThumb(false); });
    // A note or document just shown starts at its first line, and so does
    // the thumb, also where the text fits and the thumb has nothing to do.
    connectGuarded(memo1, &tl::RichEdit::contentReplaced, this, [this] {
        imgScroll->move(imgScroll->x(), sk::thumbTop);
        SyncScrollThumb(true);
    });
    connectGuarded(timeScroll, &QTimer::timeout, this, [this] { timeScrollTimer(); });
}

void TForm1::imgHeadMouseDown(QPoint p, QPoint windowAt)
{
    // Wayland lets no client place its own window: hand the drag to the compositor.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle()) {
        windowHandle()->startSystemMove();
        return;
    }
    // The press tells where the window really is. Where the window manager
    // stopped an earlier drag (at a screen edge), pos() still holds the
    // place that was asked for, and a drag from there would lag behind the
    // pointer by the difference.
    if (windowAt != pos())
        move(windowAt);
    m_moving = {true, p - windowAt};
}

void TForm1::imgHeadMouseMove(QPoint p)
{
    if (m_moving.on)
        move(p - m_moving.grab);
}

void TForm1::imgHeadMouseUp(QPoint p)
{
    if (!m_moving.on)
        return;
    m_moving.on = false;
    move(p - m_moving.grab);
}

namespace {

void sizeTo(TForm1 &f, QSize target)
{
    if (target == f.size())
        return;
    f.resize(target);
    f.FormResize();  // a top-level window may get its resize event later
}

} // namespace

void TForm1::imgSizeMouseDown(QPoint p)
{
    m_sizing = {true, p};
}

void TForm1::imgSizeMouseMove(QPoint p)
{
    if (!m_sizing.on)
        return;
    sizeTo(*this, sk::gripStep(size(), m_sizing.grab, p, minimumSize()));
    PaintSize();
    PaintHead();
    PaintLeft();
    PaintRight();
    PaintFoot();
}

void TForm1::imgSizeMouseUp(QPoint p)
{
    if (!m_sizing.on)
        return;
    m_sizing.on = false;
    sizeTo(*this, sk::gripStep(size(), m_sizing.grab, p, minimumSize()));
    PaintHead();
    PaintLeft();
    PaintRight();
    PaintFoot();
    PaintSize();
}

namespace {

sk::ThumbInput thumbInput(const TForm1 &f)
{
    const QFontMetrics fm(f.memo1->document()->defaultFont());
    return {f.memo1->lineCount(), fm.height(), f.height(), f.memo1->height()};
}

} // namespace

void TForm1::imgScrollMouseDown(QPoint p)
{
    m_thumb = {true, p};
    PaintScroll(1);
    imgScroll->repaint();
}

void TForm1::imgScrollMouseMove(QPoint p)
{
    if (!m_thumb.on)
        return;
    const sk::ThumbMove m = sk::thumbDrag(thumbInput(*this), imgScroll->y(), p.y(), m_thumb.grab.y());
    imgScroll->move(imgScroll->x(), m.top);
    if (m.scroll != 0)
        memo1->scrollLines(m.scroll);
}

void TForm1::imgScrollMouseUp(QPoint)
{
    PaintScroll(0);
    imgScroll->repaint();
    m_thumb.on = false;
}

void TForm1::SyncScrollThumb(bool resetWhenEmpty)
{
    if (memo1->document()->isEmpty()) {
        if (resetWhenEmpty)
            imgScroll->move(imgScroll->x(), sk::thumbTop);
        return;
    }
    if (const auto top = sk::thumbTopForCaret(thumbInput(*this), memo1->caretLine()))
        imgScroll->move(imgScroll->x(), *top);
}

void TForm1::memo1MouseWheel(int notches)
{
    memo1->scrollLines(notches);
}
