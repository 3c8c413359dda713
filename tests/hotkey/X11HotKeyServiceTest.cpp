// Global shortcuts on a real X server (run under scripts/with-xvfb): real
// grabs, key presses sent through XTEST by a second client, and a second
// client holding a combination.

#include "platform/X11HotKeyService.h"
#include "hotkey/HotKey.h"
#include "hotkey/HotKeysController.h"

#include "support/ProcessUntil.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr quint8 badAccess = 10;
constexpr quint16 ctrl = XCB_MOD_MASK_CONTROL;
const ModifierFlags command(ModifierFlags::command);

void processFor(int ms)
{
    processUntil([] { return false; }, ms);
}

// Another X client: types through XTEST and grabs keys.
class OtherClient
{
public:
    OtherClient()
        : c(xcb_connect(nullptr, nullptr))
        , root(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root)
        , symbols(xcb_key_symbols_alloc(c))
    {
    }
    ~OtherClient()
    {
        xcb_key_symbols_free(symbols);
        xcb_disconnect(c);
    }

    xcb_keycode_t keycode(quint32 keysym) const
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
        const xcb_keycode_t first = codes ? codes[0] : 0;
        std::free(codes);
        return first;
    }
    void key(xcb_keycode_t code, bool down)
    {
        xcb_test_fake_input(c, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        sync();
    }
    // Ctrl and the key, the key held for holdMs.
    void pressWithCtrl(xcb_keycode_t code, int holdMs = 0)
    {
        key(keycode(0xffe3), true);
        key(code, true);
        processFor(holdMs);
        key(code, false);
        key(keycode(0xffe3), false);
    }
    // Sets NumLock through its key; tells whether it took.
    bool setNumLock(bool on)
    {
        if (numLockOn() != on) {
            key(keycode(0xff7f), true);
            key(keycode(0xff7f), false);
        }
        return numLockOn() == on;
    }
    // The X error code of grabbing the key; 0 on success. With release, the
    // grab is let go again at once.
    quint8 grab(xcb_keycode_t code, quint16 modifiers, bool release = false)
    {
        auto *error = xcb_request_check(
            c, xcb_grab_key_checked(c, 0, root, modifiers, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const quint8 result = error ? error->error_code : 0;
        std::free(error);
        if (release)
            ungrab(code, modifiers);
        return result;
    }
    void ungrab(xcb_keycode_t code, quint16 modifiers)
    {
        xcb_ungrab_key(c, code, root, modifiers);
        sync();
    }

private:
    bool numLockOn()
    {
        auto *reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
        const bool on = reply && (reply->mask & XCB_MOD_MASK_2);
        std::free(reply);
        return on;
    }
    void sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    xcb_connection_t *c;
    xcb_window_t root;
    xcb_key_symbols_t *symbols;
};

class X11HotKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            GTEST_SKIP() << "needs an X display (run under scripts/with-xvfb)";
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

    OtherClient other;
    const xcb_keycode_t k = other.keycode('k');
    std::unique_ptr<X11HotKeyService> service;
    int failures = 0, downs = 0, ups = 0;
};

TEST_F(X11HotKeyTest, ARealKeyPressRunsTheHandlerOnceWithNumLockOffAndOn)
{
    HotKey hotKey(
        Key::k, command, [&] { ++downs; }, [&] { ++ups; });
    for (const int presses : {1, 2}) {
        ASSERT_TRUE(other.setNumLock(presses == 2));
        other.pressWithCtrl(k);
        EXPECT_TRUE(processUntil([&] { return downs == presses && ups == presses; })) << "NumLock " << (presses == 2);
        processFor(150);
        EXPECT_EQ(std::pair(downs, ups), std::pair(presses, presses)) << "once only";
    }
    other.setNumLock(false);

    // Without Ctrl the key is not ours; held down, it is one press.
    other.key(k, true);
    other.key(k, false);
    other.pressWithCtrl(k, 1200); // past the server's auto-repeat delay
    processFor(200);
    EXPECT_EQ(std::pair(downs, ups), std::pair(3, 3));
}

TEST_F(X11HotKeyTest, ACombinationHeldByAnotherClientFailsAndIsFreedAgain)
{
    // Held plain, or only with NumLock: refused, and the variants grabbed
    // before the refusal are given back.
    for (const quint16 held : {ctrl, quint16(ctrl | XCB_MOD_MASK_2)}) {
        ASSERT_EQ(other.grab(k, held), 0);
        {
            const HotKey refused(Key::k, command);
        }
        EXPECT_EQ(failures, held == ctrl ? 1 : 2);
        EXPECT_EQ(other.grab(k, held ^ XCB_MOD_MASK_2, true), 0) << held;
        other.ungrab(k, held);
    }

    // Ours while the hot key lives, free for others once it is gone.
    auto ours = std::make_unique<HotKey>(Key::k, command);
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(other.grab(k, ctrl, true), badAccess);
    ours.reset();
    EXPECT_EQ(other.grab(k, ctrl, true), 0);

    // Option is Alt, control is Super, shift is Shift.
    const HotKey f5(Key::f5, ModifierFlags(ModifierFlags::option | ModifierFlags::control | ModifierFlags::shift));
    EXPECT_EQ(other.grab(other.keycode(0xffc2), XCB_MOD_MASK_1 | XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT, true), badAccess);
    // A key X has no symbol for cannot be registered.
    const HotKey function(Key::function, command);
    EXPECT_EQ(failures, 3);
}

} // namespace
