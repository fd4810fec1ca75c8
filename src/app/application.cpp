#include "app/application.h"

#include "app/TForm1.h"

#include <QApplication>

namespace tl {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool result = false;
    runGuarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}

ErrorReporter errorBoxOver(TForm1 &form)
{
    return [&form](const QString &message) {
        // The box belongs to the window in front, which may stay on top of
        // every other (the font popup): under it, its OK button is hidden.
        QWidget *over = QApplication::activeModalWidget();
        if (!over)
            over = QApplication::activeWindow();
        if (!over && form.isVisible())
            over = &form;
        form.services().dialogs->messageBox(over, QStringLiteral("TessaleafV2"), message, MsgButtons::Ok,
                                            MsgIcon::Error);
    };
}

} // namespace tl
