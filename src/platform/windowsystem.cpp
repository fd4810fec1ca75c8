#include "platform/windowsystem.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace tl {

void flushWindowSystem()
{
#if QT_CONFIG(xcb)
    // Qt's X11 backend writes requests into the connection's buffer and
    // sends them when the event loop runs: a loop that never returns to it
    // would reach the server in one burst at its end.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        if (auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>())
            if (xcb_connection_t *connection = x11->connection())
                xcb_flush(connection);
#endif
}

} // namespace tl
