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

TEST_F(HotKeysControllerTest, NumbersEveryRegistrationAndNeverReusesANumber)
{
    const quint32 before = HotKeysController::registrationCount();
    bool boxStoredFirst = false;
    service.onRegister = [&](HotKeyService::HotKeyId id) {
        boxStoredFirst = HotKeysController::registrations().count(id.id) == 1;
        EXPECT_EQ(id.signature, signature);
    };

    auto first = std::make_unique<HotKey>(Key::k, ModifierFlags(ModifierFlags::command));
    EXPECT_TRUE(boxStoredFirst);
    auto second = std::make_unique<HotKey>(Key::k, ModifierFlags(ModifierFlags::command));
    EXPECT_EQ(HotKeysController::registrationNumber(*first), before + 1);
    EXPECT_EQ(HotKeysController::registrationNumber(*second), before + 2);

    // The same combination twice: the second is refused, keeps its box without a reference, fails once.
    EXPECT_EQ(failures, 1);
    EXPECT_NE(HotKeysController::registrations().at(before + 1).carbonEventHotKey, 0u);
    EXPECT_EQ(HotKeysController::registrations().at(before + 2).carbonEventHotKey, 0u);

    second.reset();
    first.reset();
    EXPECT_TRUE(HotKeysController::registrations().empty());
    EXPECT_TRUE(service.registrations.isEmpty());
    EXPECT_EQ(service.unregistered.size(), 2);

    const HotKey third(KeyCombo(0x31, 0x800));
    EXPECT_EQ(HotKeysController::registrationNumber(third), before + 3);
    EXPECT_EQ(service.handlerInstalls, 1);
}

TEST_F(HotKeysControllerTest, PausingUnregistersAndResumingRegistersUnderANewNumber)
{
    int presses = 0;
    HotKey hotKey(Key::f5, ModifierFlags(ModifierFlags::option), [&] { ++presses; });
    const quint32 number = *HotKeysController::registrationNumber(hotKey);

    hotKey.setPaused(true);
    EXPECT_TRUE(HotKeysController::registrations().empty());
    EXPECT_TRUE(service.registrations.isEmpty());
    EXPECT_EQ(service.press(signature, number), notHandled);

    hotKey.setPaused(false);
    hotKey.setPaused(false);
    EXPECT_EQ(service.registrations.size(), 1);
    const quint32 renewed = *HotKeysController::registrationNumber(hotKey);
    EXPECT_GT(renewed, number);
    EXPECT_EQ(service.press(signature, number), notHandled);
    EXPECT_EQ(service.press(signature, renewed), HotKeyService::noErr);
    EXPECT_EQ(presses, 1);
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

    // A box whose object is gone is swept out by the first event naming it.
    HotKeysController::detachForTesting(only);
    EXPECT_EQ(HotKeysController::lookUpHotKey(both), &withBoth);
    EXPECT_EQ(service.press(signature, only), notHandled);
    EXPECT_EQ(HotKeysController::registrations().count(only), 0u);
    EXPECT_EQ(downs, 11);
}

TEST_F(HotKeysControllerTest, AHandlerMayDestroyItsOwnHotKey)
{
    std::unique_ptr<HotKey> hotKey;
    hotKey = std::make_unique<HotKey>(Key::space, ModifierFlags(ModifierFlags::control), [&] { hotKey.reset(); });
    const quint32 number = *HotKeysController::registrationNumber(*hotKey);
    EXPECT_EQ(service.press(signature, number), HotKeyService::noErr);
    EXPECT_FALSE(hotKey);
    EXPECT_TRUE(HotKeysController::registrations().empty());
}

TEST_F(HotKeysControllerTest, WithoutAServiceRegistrationFailsQuietly)
{
    HotKeysController::setService(nullptr);
    {
        const HotKey hotKey(Key::k, ModifierFlags(ModifierFlags::command));
        EXPECT_EQ(failures, 1);
        EXPECT_EQ(HotKeysController::registrations().size(), 1u);
    }
    EXPECT_TRUE(HotKeysController::registrations().empty());
    EXPECT_EQ(service.registerCalls, 0);
}

} // namespace
