#include "hotkey/HotKeysController.h"
#include "hotkey/HotKey.h"
#include "platform/FakeHotKeyService.h"

#include <gtest/gtest.h>

namespace {

constexpr quint32 signature = HotKeysController::hotKeySignature;
constexpr qint32 notHandled = HotKeyService::eventNotHandledErr;

class HotKeysControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HotKeysController::registrations().empty());
        HotKeysController::setService(&service);
        HotKeysController::setRegistrationFailedHandler([this] { ++failures; });
    }
    void TearDown() override
    {
        HotKeysController::setRegistrationFailedHandler({});
        HotKeysController::setService(nullptr);
    }

    FakeHotKeyService service;
    int failures = 0;
};

TEST_F(HotKeysControllerTest, NumbersRegistrationsWithoutReuseAndFreesThemWithTheirHotKeys)
{
    const quint32 before = HotKeysController::registrationCount();
    auto first = std::make_unique<HotKey>(Key::k, ModifierFlags(ModifierFlags::command));
    auto second = std::make_unique<HotKey>(Key::k, ModifierFlags(ModifierFlags::command));
    EXPECT_EQ(HotKeysController::registrationNumber(*first), before + 1);
    EXPECT_EQ(HotKeysController::registrationNumber(*second), before + 2);
    EXPECT_EQ(failures, 1) << "the same combination twice is refused";
    EXPECT_EQ(service.registrations.size(), 1);
    second.reset();
    first.reset();
    EXPECT_TRUE(HotKeysController::registrations().empty());
    EXPECT_TRUE(service.registrations.isEmpty());

    // Numbers are never reused within a run.
    const HotKey third(Key::space, ModifierFlags(ModifierFlags::option));
    EXPECT_EQ(HotKeysController::registrationNumber(third), before + 3);
    EXPECT_EQ(service.handlerInstalls, 1);
}

TEST_F(HotKeysControllerTest, DispatchesPressesAndReleasesToTheRightHandlers)
{
    int downs = 0;
    int ups = 0;
    HotKey withBoth(
        Key::a, ModifierFlags(ModifierFlags::command), [&] { ++downs; }, [&] { ++ups; });
    HotKey pressOnly(Key::b, ModifierFlags(ModifierFlags::command), [&] { downs += 10; });
    const quint32 both = *HotKeysController::registrationNumber(withBoth);
    const quint32 only = *HotKeysController::registrationNumber(pressOnly);

    EXPECT_EQ(service.press(signature, both), HotKeyService::noErr);
    EXPECT_EQ(service.release(signature, both), HotKeyService::noErr);
    EXPECT_EQ(service.press(signature, only), HotKeyService::noErr);
    EXPECT_EQ(service.release(signature, only), notHandled);
    EXPECT_TRUE(downs == 11 && ups == 1);

    // Foreign signatures, unknown ids, other kinds and unreadable events are declined, changing nothing.
    EXPECT_EQ(service.press(0x41424344, both), notHandled);
    EXPECT_EQ(service.press(signature, 9999999), notHandled);
    EXPECT_EQ(service.send({7, {signature, both}}), notHandled);
    EXPECT_EQ(service.send({HotKeyService::hotKeyPressed, {signature, both}, HotKeyService::eventParameterNotFoundErr}),
              HotKeyService::eventParameterNotFoundErr);
    EXPECT_EQ(HotKeysController::dispatchHotKeyEvent(nullptr), notHandled);
    EXPECT_EQ(downs + ups, 12);

    // A refusal the desktop sends later runs the failure routine, once.
    EXPECT_EQ(service.send({HotKeyService::hotKeyRefused, {signature, both}}), HotKeyService::noErr);
    EXPECT_EQ(service.send({HotKeyService::hotKeyRefused, {signature, 9999999}}), notHandled);
    EXPECT_EQ(failures, 1);
}

TEST_F(HotKeysControllerTest, AHandlerMayDestroyItsOwnHotKeyAndWithoutAServiceRegistrationFails)
{
    std::unique_ptr<HotKey> hotKey;
    hotKey = std::make_unique<HotKey>(Key::space, ModifierFlags(ModifierFlags::control), [&] { hotKey.reset(); });
    EXPECT_EQ(service.press(signature, *HotKeysController::registrationNumber(*hotKey)), HotKeyService::noErr);
    EXPECT_FALSE(hotKey);
    EXPECT_TRUE(HotKeysController::registrations().empty());

    HotKeysController::setService(nullptr);
    hotKey = std::make_unique<HotKey>(Key::k, ModifierFlags(ModifierFlags::command));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(service.registerCalls, 1);
    hotKey.reset();
    EXPECT_TRUE(HotKeysController::registrations().empty());
}

} // namespace
