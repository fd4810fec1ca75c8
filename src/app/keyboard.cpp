// The main window's own keys (seen before the focused control, which gets
// them too unless they ran a command of their own) and files dropped on it.

#include "app/TForm1.h"

#include "controls/flatbutton.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QString firstLocalFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

QWidget *TForm1::keyReceiver()
{
    if (QWidget *grabber = QWidget::keyboardGrabber(); grabber && grabber->window() == this)
        return grabber;
    QWidget *w = focusWidget() ? focusWidget() : this;
    while (w->focusProxy())
        w = w->focusProxy();
    return w;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    // A key the focused control leaves alone goes on to its parents as the
    // same event. Preview it once, where it first arrives. The event tells
    // nothing: a new press may reuse the address and the time of the last
    // one (keys a tool sends carry no time). The window's own focus widget
    // does: it outlasts a dialog that takes the keyboard away for a while.
    if (watched != keyReceiver())
        return QWidget::eventFilter(watched, event);
    const QWidget *focused = focusWidget();
    bool used = FormKeyDown(static_cast<QKeyEvent *>(event));
    // A command that moved the focus has the key for itself: passed on, it
    // would arrive where the focus went as if it were new.
    used = used || focusWidget() != focused;
    return used || QWidget::eventFilter(watched, event);
}

bool TForm1::FormKeyDown(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (mods == Qt::AltModifier && key >= Qt::Key_1 && key <= Qt::Key_9) {
        // A jump key only jumps: the focused control never types its digit.
        JumpToNote(key - Qt::Key_0);
        return true;
    }
    switch (key) {
    case Qt::Key_Escape:
        close();  // the close query hides the window
        return false;
    case Qt::Key_F1:
        Helptopics1Click();
        return false;
    case Qt::Key_F2:
        if (cmdSearchBack->isEnabled())
            cmdSearchBackClick();
        return false;
    case Qt::Key_F3:
        if (cmdSearchAgain->isEnabled())
            cmdSearchAgainClick();
        return false;
    default:
        break;
    }
    // Lock: the tray menu's item, from the keyboard wherever the focus is.
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_L) {
        lockOpenFile();
        return true;
    }
    if (mods != Qt::ControlModifier)
        return false;
    if (key == Qt::Key_F) {
        FindBar1Click();
        return true;
    }
    // While the editor has the focus its own menu's shortcuts come first:
    // there Ctrl+O is "Jump to note..." and Ctrl+S belongs to a hidden item
    // and does nothing.
    const bool inEditor = memo1->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == memo1;
    if (key == Qt::Key_O && !inEditor) {
        File1Click();
        return true;
    }
    if (key == Qt::Key_S && !inEditor) {
        SaveFileAs2Click();
        return true;
    }
    return false;
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!firstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    // The first file opens as if chosen in the Open dialog; the rest are ignored.
    const QString file = firstLocalFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    File1Click(file);
}
