#include "platform/hotkey_x11.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace tl {

namespace {
constexpr unsigned XK_Num_Lock = 0xff7f, XK_Alt_L = 0xffe9, XK_Alt_R = 0xffea, XK_Super_L = 0xffeb;
constexpr unsigned XF86Switch_VT_1 = 0x1008fe01, XF86Switch_VT_12 = 0x1008fe0c;
constexpr uint8_t BadAccess = 10;

// Ctrl+Alt on a key that switches virtual terminals is taken by the server's
// keyboard map (even where it cannot switch, as under Xvfb): a grab would
// succeed and never see a press.
bool serverKeepsIt(xcb_key_symbols_t *syms, const QVector<unsigned char> &codes, Qt::KeyboardModifiers mods)
{
    if (!(mods & Qt::ControlModifier) || !(mods & Qt::AltModifier))
        return false;
    for (unsigned char code : codes)
        for (int col = 0; col < 8; ++col) {
            const xcb_keysym_t sym = xcb_key_symbols_get_keysym(syms, code, col);
            if (sym >= XF86Switch_VT_1 && sym <= XF86Switch_VT_12)
                return true;
        }
    return false;
}

xcb_connection_t *x11Connection()
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return nullptr;
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The modifier bit (Mod1..Mod5) that holds a key with one of the keysyms; 0
// when no modifier does.
unsigned modifierBit(xcb_connection_t *c, xcb_key_symbols_t *syms, std::initializer_list<unsigned> keysyms)
{
    QVector<xcb_keycode_t> codes;
    for (unsigned sym : keysyms) {
        xcb_keycode_t *found = xcb_key_symbols_get_keycode(syms, sym);
        for (xcb_keycode_t *k = found; k && *k != XCB_NO_SYMBOL; ++k)
            codes << *k;
        std::free(found);
    }
    xcb_get_modifier_mapping_reply_t *reply = xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!reply)
        return 0;
    unsigned bit = 0;
    const xcb_keycode_t *map = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int mod = 3; mod < 8 && !bit; ++mod) // Shift, Lock and Control are fixed
        for (int i = 0; i < perModifier && !bit; ++i)
            if (map[mod * perModifier + i] != XCB_NO_SYMBOL && codes.contains(map[mod * perModifier + i]))
                bit = 1u << mod;
    std::free(reply);
    return bit;
}
} // namespace

X11HotKey::X11HotKey()
{
    m_connection = x11Connection();
    if (!m_connection)
        return;
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    m_root = xcb_setup_roots_iterator(setup).data->root;
}

X11HotKey::~X11HotKey()
{
    release();
}

unsigned X11HotKey::keysymOf(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return 0xffbe + unsigned(key - Qt::Key_F1);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return unsigned(key - Qt::Key_A) + 'a';
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        return unsigned(key);
    switch (key) {
    case Qt::Key_Escape:
        return 0xff1b;
    case Qt::Key_Tab:
        return 0xff09;
    case Qt::Key_Backspace:
        return 0xff08;
    case Qt::Key_Return:
        return 0xff0d;
    case Qt::Key_Enter:
        return 0xff8d;
    case Qt::Key_Insert:
        return 0xff63;
    case Qt::Key_Delete:
        return 0xffff;
    case Qt::Key_Pause:
        return 0xff13;
    case Qt::Key_Print:
        return 0xff61;
    case Qt::Key_Home:
        return 0xff50;
    case Qt::Key_End:
        return 0xff57;
    case Qt::Key_Left:
        return 0xff51;
    case Qt::Key_Up:
        return 0xff52;
    case Qt::Key_Right:
        return 0xff53;
    case Qt::Key_Down:
        return 0xff54;
    case Qt::Key_PageUp:
        return 0xff55;
    case Qt::Key_PageDown:
        return 0xff56;
    case Qt::Key_Shift:
        return 0xffe1;
    case Qt::Key_Control:
        return 0xffe3;
    case Qt::Key_Alt:
        return XK_Alt_L;
    default:
        return 0;
    }
}

IHotKey::Status X11HotKey::setHotKey(QKeyCombination key)
{
    release();
    if (key.key() == Qt::Key_unknown || key.key() == Qt::Key(0))
        return Status::None;
    if (!m_connection)
        return Status::Unavailable;
    const unsigned keysym = keysymOf(key.key());
    if (!keysym)
        return Status::Unavailable;

    xcb_key_symbols_t *syms = xcb_key_symbols_alloc(m_connection);
    if (!syms)
        return Status::Unavailable;
    xcb_keycode_t *found = xcb_key_symbols_get_keycode(syms, keysym);
    for (xcb_keycode_t *k = found; k && *k != XCB_NO_SYMBOL; ++k)
        if (!m_keycodes.contains(*k))
            m_keycodes << *k;
    std::free(found);
    const unsigned numLock = modifierBit(m_connection, syms, { XK_Num_Lock });
    unsigned alt = modifierBit(m_connection, syms, { XK_Alt_L, XK_Alt_R });
    if (!alt)
        alt = XCB_MOD_MASK_1;
    const unsigned super = modifierBit(m_connection, syms, { XK_Super_L });
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    const bool kept = serverKeepsIt(syms, m_keycodes, mods);
    xcb_key_symbols_free(syms);
    if (m_keycodes.isEmpty())
        return Status::Unavailable; // the keyboard has no such key
    if (kept) {
        m_keycodes.clear();
        return Status::Taken;
    }

    m_modifiers = 0;
    if (mods & Qt::ShiftModifier)
        m_modifiers |= XCB_MOD_MASK_SHIFT;
    if (mods & Qt::ControlModifier)
        m_modifiers |= XCB_MOD_MASK_CONTROL;
    if (mods & Qt::AltModifier)
        m_modifiers |= alt;
    m_relevant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | alt | super;

    // The grab must hold whatever state NumLock and CapsLock are in.
    QVector<unsigned> variants { 0, XCB_MOD_MASK_LOCK };
    if (numLock)
        variants << numLock << (numLock | XCB_MOD_MASK_LOCK);
    QVector<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t code : std::as_const(m_keycodes))
        for (unsigned v : std::as_const(variants))
            cookies << xcb_grab_key_checked(
                m_connection, 1, m_root, uint16_t(m_modifiers | v), code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool taken = false, failed = false;
    for (const xcb_void_cookie_t &cookie : std::as_const(cookies)) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            (error->error_code == BadAccess ? taken : failed) = true;
            std::free(error);
        }
    }
    if (taken || failed) {
        ungrab();
        return taken ? Status::Taken : Status::Unavailable;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_filtering = true;
    return Status::Registered;
}

void X11HotKey::ungrab()
{
    if (m_connection) {
        for (xcb_keycode_t code : std::as_const(m_keycodes))
            xcb_ungrab_key(m_connection, code, m_root, XCB_MOD_MASK_ANY);
        xcb_flush(m_connection);
    }
    m_keycodes.clear();
    m_modifiers = m_relevant = 0;
}

void X11HotKey::release()
{
    if (m_filtering) {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
        m_filtering = false;
    }
    ungrab();
}

bool X11HotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    auto *press = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (!m_keycodes.contains(press->detail) || (press->state & m_relevant) != m_modifiers)
        return false;
    // The show path lets events be processed while it fades; it runs after
    // this native event is done with.
    if (type == XCB_KEY_PRESS)
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                if (onPressed)
                    onPressed();
            },
            Qt::QueuedConnection);
    return true;
}

} // namespace tl
