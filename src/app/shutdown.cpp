#include "app/shutdown.h"


#include <QApplication>
#include <QDialog>
#include <QEvent>

namespace tl {

int cancelModalDialogs()
{
    int cancelled = 0;
    QWidget *previous = nullptr;
    // The innermost is the active one; once it is gone the next one is.
    for (int guard = 0; guard < 100; ++guard) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        if (modal == previous) {
            modal->hide();  // it refused to close: hidden, it holds nothing up
            continue;
        }
        previous = modal;
        ++cancelled;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
    return cancelled;
}

void ShutdownRequest::request(int exitStatus)
{
    if (!m_requested) {
        m_requested = true;
        m_status = exitStatus;
        qApp->installEventFilter(this);
    }
    cancelModalDialogs();
    // Every loop, the dialogs' too: the commands they interrupted finish
    // with the Cancel answer, then the way out runs.
    if (m_loopRunning)
        QCoreApplication::exit(0);
}

bool ShutdownRequest::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog opened on the way out (the save question, the error box)
    // is cancelled once its loop runs; cancelled at once, before its loop
    // starts, it would leave that loop running with nothing shown.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->isModal()) {
            if (auto *dialog = qobject_cast<QDialog *>(widget))
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            else
                QMetaObject::invokeMethod(widget, &QWidget::close, Qt::QueuedConnection);
        }
    }
    return false;
}

} // namespace tl
