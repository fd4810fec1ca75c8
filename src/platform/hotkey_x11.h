#pragma once
// The global hot key on X11: the combination is grabbed on the root window,
// once for every state of NumLock and CapsLock, and its presses arrive
// through a native event filter. Without an X11 connection (offscreen,
// Wayland without XWayland) no key is registered.

#include "platform/services.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QVector>

struct xcb_connection_t;

namespace tl {

class X11HotKey : public IHotKey, private QAbstractNativeEventFilter {
public:
    X11HotKey();
    ~X11HotKey() override;

    Status setHotKey(QKeyCombination key) override;
    void release() override;

    // The X keysym for a Qt key; 0 when there is none.
    static unsigned keysymOf(Qt::Key key);

private:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void ungrab();

    xcb_connection_t *m_connection = nullptr;
    unsigned m_root = 0;
    QVector<unsigned char> m_keycodes; // every keycode that gives the keysym
    unsigned m_modifiers = 0; // X modifier mask of the combination
    unsigned m_relevant = 0; // the bits compared at a press
    bool m_filtering = false;
    QObject m_context; // presses are delivered queued, within our lifetime
};

} // namespace tl
