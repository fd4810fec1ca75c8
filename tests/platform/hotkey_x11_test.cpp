// The X11 hot key against a server of its own: Xvfb on a free display, keys
// sent through xdotool. Without Xvfb (or with TL_HOTKEY_OFFSCREEN set) the
// program runs offscreen, where no key can be registered.

#include "platform/hotkey_x11.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace tltest {
void initSandbox();
}

namespace {
using Status = tl::IHotKey::Status;

QByteArray display; // empty: no X server

void skipWithoutX()
{
    if (display.isEmpty())
        GTEST_SKIP() << "needs Xvfb";
}

// Another X client that grabs a combination on the root window first.
class OtherClient {
public:
    OtherClient()
        : m_c(xcb_connect(display.constData(), nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    }
    ~OtherClient() { xcb_disconnect(m_c); }
    // True when the grab went through, false on BadAccess.
    bool grab(unsigned keysym, uint16_t modifiers)
    {
        xcb_key_symbols_t *syms = xcb_key_symbols_alloc(m_c);
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(syms, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        free(codes);
        xcb_key_symbols_free(syms);
        xcb_generic_error_t *error = xcb_request_check(
            m_c, xcb_grab_key_checked(m_c, 1, m_root, modifiers, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        free(error);
        return error == nullptr;
    }
    // The modifier and lock bits the server holds now.
    uint16_t state()
    {
        xcb_query_pointer_reply_t *r = xcb_query_pointer_reply(m_c, xcb_query_pointer(m_c, m_root), nullptr);
        const uint16_t mask = r ? r->mask : 0;
        free(r);
        return mask;
    }

private:
    xcb_connection_t *m_c;
    xcb_window_t m_root = 0;
};

constexpr unsigned XK_F5 = 0xffc2, XK_l = 'l', XK_m = 'm', XK_n = 'n';
constexpr uint16_t CtrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

void xdotool(const QString &keys)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), { QStringLiteral("key"), keys });
    ASSERT_TRUE(p.waitForFinished(10000)) << keys.toStdString();
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

class X11HotKeyTest : public testing::Test {
protected:
    void SetUp() override
    {
        skipWithoutX();
        key.onPressed = [this] { ++presses; };
    }
    tl::X11HotKey key;
    int presses = 0;
};

} // namespace

TEST(X11HotKeyOffscreen, NoDisplayIsUnavailable)
{
    if (!display.isEmpty())
        GTEST_SKIP() << "the offscreen run checks this";
    tl::X11HotKey key;
    EXPECT_EQ(key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_F5), Status::Unavailable);
    EXPECT_EQ(key.setHotKey(QKeyCombination(Qt::Key_unknown)), Status::None);
}

TEST_F(X11HotKeyTest, PressArrivesWithNumLockAndCapsLockOnAndOff)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "needs xdotool";
    ASSERT_EQ(key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_K), Status::Registered);
    OtherClient probe;
    const uint16_t locks = 0xff & ~(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1);
    ASSERT_EQ(probe.state() & locks, 0);

    // A combination that is not ours, then ours: only ours counts, and X
    // delivers them in order.
    const struct {
        const char *toggle; // lock key pressed before the round
        const char *other;
    } rounds[] = {
        { nullptr, "ctrl+k" },
        { "Num_Lock", "alt+k" },
        { "Caps_Lock", "ctrl+alt+j" },
        { "Num_Lock", "shift+ctrl+alt+k" },
    };
    int expected = 0;
    for (const auto &round : rounds) {
        if (round.toggle) {
            const uint16_t before = probe.state() & locks;
            xdotool(QString::fromLatin1(round.toggle));
            ASSERT_NE(probe.state() & locks, before) << round.toggle << " changed no lock";
        }
        xdotool(QString::fromLatin1(round.other));
        xdotool(QStringLiteral("ctrl+alt+k"));
        ++expected;
        EXPECT_TRUE(QTest::qWaitFor([&] { return presses >= expected; }, 5000)) << "state " << probe.state();
        EXPECT_EQ(presses, expected) << "after " << round.other;
    }
    xdotool(QStringLiteral("Caps_Lock"));
}

// The server's keyboard map switches terminals with Ctrl+Alt+F1..F12 and
// swallows those presses; other modifiers on the same keys reach the grab.
TEST_F(X11HotKeyTest, TerminalSwitchKeysAreTakenByTheServer)
{
    EXPECT_EQ(key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_F5), Status::Taken);
    EXPECT_TRUE(OtherClient().grab(XK_F5, CtrlAlt)); // nothing was grabbed
    ASSERT_EQ(key.setHotKey(Qt::SHIFT | Qt::ALT | Qt::Key_F5), Status::Registered);
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "needs xdotool";
    xdotool(QStringLiteral("shift+alt+F5"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses == 1; }, 5000));
}

TEST_F(X11HotKeyTest, KeyHeldByAnotherClientIsTaken)
{
    auto other = std::make_unique<OtherClient>();
    ASSERT_TRUE(other->grab(XK_l, CtrlAlt));
    EXPECT_EQ(key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_L), Status::Taken);
    other.reset(); // its grabs end with its connection, once the server has seen it close
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_L) == Status::Registered; }, 5000));
}

TEST_F(X11HotKeyTest, NewKeyReplacesTheOldAndReleaseFreesIt)
{
    ASSERT_EQ(key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_M), Status::Registered);
    EXPECT_FALSE(OtherClient().grab(XK_m, CtrlAlt | XCB_MOD_MASK_LOCK)); // the CapsLock variant is ours too
    ASSERT_EQ(key.setHotKey(Qt::CTRL | Qt::ALT | Qt::Key_N), Status::Registered);
    EXPECT_TRUE(OtherClient().grab(XK_m, CtrlAlt));
    EXPECT_FALSE(OtherClient().grab(XK_n, CtrlAlt));
    key.release();
    EXPECT_TRUE(OtherClient().grab(XK_n, CtrlAlt));
    EXPECT_EQ(key.setHotKey(QKeyCombination(Qt::Key_unknown)), Status::None);
    EXPECT_TRUE(OtherClient().grab(XK_l, CtrlAlt));
}

int main(int argc, char **argv)
{
    tltest::initSandbox();
    testing::InitGoogleTest(&argc, argv);
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || QByteArray(argv[i]).startsWith("--gtest_list");

    // Xvfb picks a free display and writes its number to the given descriptor.
    QProcess xvfb;
    const bool wanted = !listing && qEnvironmentVariableIsEmpty("TL_HOTKEY_OFFSCREEN");
    if (wanted && !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        xvfb.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("320x240x24") });
        QByteArray out;
        while (xvfb.waitForReadyRead(15000)) {
            out += xvfb.readAllStandardOutput();
            if (out.contains('\n'))
                break;
        }
        if (out.trimmed().isEmpty())
            fprintf(stderr, "Xvfb did not start: %s\n", xvfb.readAllStandardError().constData());
        else
            display = ':' + out.trimmed();
    }
    if (display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        qputenv("DISPLAY", display);
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    if (xvfb.state() != QProcess::NotRunning) {
        xvfb.terminate();
        if (!xvfb.waitForFinished(5000)) {
            xvfb.kill();
            xvfb.waitForFinished();
        }
    }
    return status;
}
