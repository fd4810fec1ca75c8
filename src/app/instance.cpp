#include "app/TForm1.h"

#include "platform/singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

void TForm1::handOverReceived(const tl::instance::Request &request)
{
    // A question or dialog is open: the command it interrupted finishes first.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        QTimer::singleShot(250, this, [this, request] { handOverReceived(request); });
        return;
    }
    // Through Open, not the start-up path: the file open now is closed first,
    // so its note shown is stored and a compressed file packed again.
    for (const QString &file : request.files)
        if (QFileInfo(file).isFile())
            File1Click(file);

    const bool shown = isVisible() && !isMinimized();
    if (request.toggle) {
        if (shown)
            cmdHideClick();
        else
            Show1Click();
    } else if (!request.start) {
        // Started from a launcher or with a file: the person wants to see it.
        if (shown) {
            raise();
            activateWindow();
        } else {
            Show1Click();
        }
    }
}
