// Global shortcuts on a real X server (run under scripts/with-xvfb): real
// grabs, key presses sent through XTEST by a second client, and a second
// client holding a combination.

#include "hotkey/HotKey.h"
#include "hotkey/HotKeysController.h"
#include "platform/X11HotKeyService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr quint32 xkControlL = 0xffe3;
constexpr quint32 xkNumLock = 0xff7f;
constexpr quint8 badAccess = 10;
const ModifierFlags command(ModifierFlags::command);

// Runs the event loop until done() holds or the time is up.
bool processUntil(const std::function<bool()> &done, int timeoutMs = 3000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

void processFor(int ms)
{
    processUntil([] { return false; }, ms);
}

// Another X client: sends key presses through XTEST and grabs keys itself.
class OtherClient
{
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_symbols = xcb_key_symbols_alloc(m_connection);
    }
    ~OtherClient()
    {
        xcb_key_symbols_free(m_symbols);
        xcb_disconnect(m_connection);
    }

    bool connected() const { return !xcb_connection_has_error(m_connection); }

    xcb_keycode_t keycode(quint32 keysym) const
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, keysym);
        const xcb_keycode_t first = codes ? codes[0] : 0;
        std::free(codes);
        return first;
    }

    void key(quint32 keysym, bool down)
    {
        xcb_test_fake_input(m_connection, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode(keysym),
                            XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        sync();
    }
    void tap(quint32 keysym)
    {
        key(keysym, true);
        key(keysym, false);
    }
    // Ctrl+<keysym>, held for holdMs.
    void pressWithControl(quint32 keysym, int holdMs = 0)
    {
        key(xkControlL, true);
        key(keysym, true);
        if (holdMs)
            processFor(holdMs);
        key(keysym, false);
        key(xkControlL, false);
    }

    // Sends Ctrl+<keycode> by keycode.
    void pressKeycodeWithControl(xcb_keycode_t code)
    {
        key(xkControlL, true);
        fake(XCB_KEY_PRESS, code);
        fake(XCB_KEY_RELEASE, code);
        key(xkControlL, false);
    }

    // A keycode the keyboard mapping leaves without symbols.
    xcb_keycode_t unusedKeycode() const
    {
        const xcb_setup_t *setup = xcb_get_setup(m_connection);
        for (int code = setup->max_keycode; code >= setup->min_keycode; --code) {
            bool unused = true;
            for (int column = 0; column < 4; ++column)
                unused = unused && xcb_key_symbols_get_keysym(m_symbols, xcb_keycode_t(code), column) == 0;
            if (unused)
                return xcb_keycode_t(code);
        }
        return 0;
    }

    // Gives code the single symbol keysym (0 takes its symbols away).
    void mapKeycode(xcb_keycode_t code, quint32 keysym)
    {
        auto *reply = xcb_get_keyboard_mapping_reply(
            m_connection, xcb_get_keyboard_mapping(m_connection, code, 1), nullptr);
        const int perKeycode = reply ? reply->keysyms_per_keycode : 1;
        std::free(reply);
        std::vector<xcb_keysym_t> symbols(size_t(perKeycode), keysym);
        xcb_change_keyboard_mapping(m_connection, 1, code, quint8(perKeycode), symbols.data());
        sync();
    }

    quint16 modifierState()
    {
        auto *reply = xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
        const quint16 mask = reply ? reply->mask : 0;
        std::free(reply);
        return mask;
    }

    // The X error code of grabbing the key with modifiers; 0 on success.
    quint8 grab(quint32 keysym, quint16 modifiers)
    {
        auto *error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode(keysym),
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const quint8 code = error ? error->error_code : 0;
        std::free(error);
        return code;
    }
    void ungrab(quint32 keysym, quint16 modifiers)
    {
        xcb_ungrab_key(m_connection, keycode(keysym), m_root, modifiers);
        sync();
    }

private:
    void fake(quint8 type, xcb_keycode_t code)
    {
        xcb_test_fake_input(m_connection, type, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        sync();
    }
    void sync() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = 0;
    xcb_key_symbols_t *m_symbols = nullptr;
};

class X11HotKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            GTEST_SKIP() << "needs an X display (run under scripts/with-xvfb)";
        ASSERT_TRUE(other.connected());
        service = std::make_unique<X11HotKeyService>();
        ASSERT_TRUE(service->isAvailable());
        HotKeysController::setService(service.get());
        HotKeysController::setRegistrationFailedHandler([this] { ++failures; });
    }
    void TearDown() override
    {
        HotKeysController::setRegistrationFailedHandler({});
        HotKeysController::setService(nullptr);
        service.reset();
    }

    void setNumLock(bool on)
    {
        const quint16 numLock = XCB_MOD_MASK_2;
        if (bool(other.modifierState() & numLock) != on)
            other.tap(xkNumLock);
        ASSERT_EQ(bool(other.modifierState() & numLock), on);
    }

    OtherClient other;
    std::unique_ptr<X11HotKeyService> service;
    int failures = 0;
};

TEST_F(X11HotKeyTest, ARealKeyPressRunsTheHandlerOnceWithNumLockOffAndOn)
{
    int downs = 0;
    int ups = 0;
    HotKey hotKey(Key::k, command, [&] { ++downs; }, [&] { ++ups; });
    EXPECT_EQ(failures, 0);

    for (bool numLock : {false, true}) {
        setNumLock(numLock);
        const int before = downs;
        other.pressWithControl('k');
        EXPECT_TRUE(processUntil([&] { return downs == before + 1 && ups == before + 1; }))
            << "NumLock " << numLock;
        processFor(150);
        EXPECT_EQ(downs, before + 1);
        EXPECT_EQ(ups, before + 1);
    }
    setNumLock(false);

    // Without Ctrl the key is not ours.
    other.tap('k');
    processFor(150);
    EXPECT_EQ(downs, 2);
}

TEST_F(X11HotKeyTest, AHeldKeyIsOnePress)
{
    int downs = 0;
    int ups = 0;
    HotKey hotKey(Key::j, command, [&] { ++downs; }, [&] { ++ups; });
    // Long enough for the server's auto-repeat (660 ms delay by default).
    other.pressWithControl('j', 1200);
    processFor(200);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(X11HotKeyTest, GrabsFollowAChangeOfTheKeyboardMapping)
{
    int downs = 0;
    HotKey hotKey(Key::k, command, [&] { ++downs; });
    const xcb_keycode_t spare = other.unusedKeycode();
    ASSERT_NE(spare, 0);

    // A second key now types "k": once the mapping change has come round,
    // Ctrl with that key is the hot key too.
    other.mapKeycode(spare, 'k');
    processFor(300);
    other.pressKeycodeWithControl(spare);
    EXPECT_TRUE(processUntil([&] { return downs == 1; }));

    other.mapKeycode(spare, 0);
    processFor(300);
    other.pressKeycodeWithControl(spare);
    processFor(150);
    EXPECT_EQ(downs, 1);
}

TEST_F(X11HotKeyTest, ACombinationHeldByAnotherClientFailsAndIsFreedAgain)
{
    // Another client holds Ctrl+K: registration fails and the routine runs.
    ASSERT_EQ(other.grab('k', XCB_MOD_MASK_CONTROL), 0);
    {
        const HotKey refused(Key::k, command);
        EXPECT_EQ(failures, 1);
        const auto number = HotKeysController::registrationNumber(refused);
        ASSERT_TRUE(number);
        EXPECT_EQ(HotKeysController::registrations().at(*number).carbonEventHotKey, 0u);
    }
    other.ungrab('k', XCB_MOD_MASK_CONTROL);

    // Only the NumLock variant is held: the variants grabbed before the
    // refusal are given back.
    ASSERT_EQ(other.grab('k', XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2), 0);
    {
        const HotKey refused(Key::k, command);
        EXPECT_EQ(failures, 2);
    }
    EXPECT_EQ(other.grab('k', XCB_MOD_MASK_CONTROL), 0);
    other.ungrab('k', XCB_MOD_MASK_CONTROL);
    other.ungrab('k', XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2);

    // Ours while the hot key lives, free for others once it is gone.
    auto ours = std::make_unique<HotKey>(Key::k, command);
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(other.grab('k', XCB_MOD_MASK_CONTROL), badAccess);
    ours.reset();
    EXPECT_EQ(other.grab('k', XCB_MOD_MASK_CONTROL), 0);
    other.ungrab('k', XCB_MOD_MASK_CONTROL);
}

TEST_F(X11HotKeyTest, MapsKeysAndModifiersToX)
{
    EXPECT_EQ(X11HotKeyService::keysymForKeyCode(Keys::carbonKeyCode(Key::k)), quint32('k'));
    EXPECT_EQ(X11HotKeyService::keysymForKeyCode(Keys::carbonKeyCode(Key::f5)), 0xffc2u);
    EXPECT_EQ(X11HotKeyService::keysymForKeyCode(Keys::carbonKeyCode(Key::control)), 0xffebu);
    EXPECT_EQ(X11HotKeyService::keysymForKeyCode(Keys::carbonKeyCode(Key::keypad9)), 0xffb9u);
    EXPECT_EQ(X11HotKeyService::keysymForKeyCode(Keys::carbonKeyCode(Key::function)), 0u);
    EXPECT_EQ(X11HotKeyService::keysymForKeyCode(200), 0u);

    // Option is Alt, control is Super, shift is Shift.
    const HotKey hotKey(Key::f5, ModifierFlags(ModifierFlags::option | ModifierFlags::control
                                               | ModifierFlags::shift));
    EXPECT_EQ(other.grab(0xffc2, XCB_MOD_MASK_1 | XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT), badAccess);
    // A key X has no symbol for cannot be registered.
    const HotKey function(Key::function, command);
    EXPECT_EQ(failures, 1);
}

} // namespace
