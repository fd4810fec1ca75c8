// The main window's own keys (seen before the focused control, which gets
// them too) and files dropped on it.

#include "app/TForm1.h"

#include "controls/flatbutton.h"
#include "platform/paths.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
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

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // Preview each key once, on its way to the focused control of this window.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        const bool first = w == QApplication::focusWidget() || (w == this && !QApplication::focusWidget());
        if (first && w->window() == this)
            FormKeyDown(static_cast<QKeyEvent *>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool TForm1::FormKeyDown(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (mods == Qt::AltModifier && key >= Qt::Key_1 && key <= Qt::Key_9) {
        JumpToNote(key - Qt::Key_0);
        return true;
    }
    switch (key) {
    case Qt::Key_Escape:
        close();  // the close query hides the window
        return true;
    case Qt::Key_F1: {
        const QString folder = tl::paths::programFolder();
        const QString language = GetFromReg(tl::setting::CurLanguage);
        QString help = folder + QStringLiteral("/languages/") + language + QStringLiteral("/help.html");
        if (!QFileInfo(help).isFile())
            help = folder + QStringLiteral("/help.html");
        m_services.shell->openUrl(QUrl::fromLocalFile(help));
        return true;
    }
    case Qt::Key_F2:
        if (cmdSearchBack->isEnabled())
            cmdSearchBackClick();
        return true;
    case Qt::Key_F3:
        if (cmdSearchAgain->isEnabled())
            cmdSearchAgainClick();
        return true;
    default:
        break;
    }
    if (mods != Qt::ControlModifier)
        return false;
    if (key == Qt::Key_F) {
        FindBar1Click();
        return true;
    }
    // While the editor has the focus its own menu's shortcuts come first;
    // there Ctrl+S belongs to a hidden item and does nothing.
    const bool inEditor = memo1->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == memo1;
    if (key == Qt::Key_O) {
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
