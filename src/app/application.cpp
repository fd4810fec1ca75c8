#include "app/application.h"

#include "app/TForm1.h"

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
        form.services().dialogs->messageBox(form.isVisible() ? &form : nullptr, QStringLiteral("TessaleafV2"), message,
                                            MsgButtons::Ok, MsgIcon::Error);
    };
}

} // namespace tl
