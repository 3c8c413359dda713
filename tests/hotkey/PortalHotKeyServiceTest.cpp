// Global shortcuts through the desktop portal, against a portal of our own
// (fake_portal) on a private bus run by dbus-daemon for each test.

#include "platform/PortalHotKeyService.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "platform/FakePreferencesStore.h"

#include "support/StandInProcess.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

constexpr quint32 command = 0x100, shift = 0x200, option = 0x800, control = 0x1000;

std::unique_ptr<StandInProcess> startPortal(const PrivateBus &bus)
{
    auto portal = std::make_unique<StandInProcess>(bus, QStringLiteral(BRIMBLE_FAKE_PORTAL),
                                                   u"org.freedesktop.portal.Desktop"_qs,
                                                   "/org/freedesktop/portal/desktop");
    EXPECT_TRUE(portal->ready);
    return portal;
}

class PortalHotKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
        portal = startPortal(bus);
        ASSERT_TRUE(PortalHotKeyService::portalOffersShortcuts(bus.client()));
        service = std::make_unique<PortalHotKeyService>(bus.client());
        service->setShortcutDescription(QStringLiteral("Show the popup"));
        service->setBindingChangedHandler([this] { ++bindingChanges; });
        HotKeysController::setService(service.get());
        HotKeysController::setRegistrationFailedHandler([this] { ++failures; });
    }
    void TearDown() override
    {
        shortcut.reset();
        HotKeysController::setRegistrationFailedHandler({});
        HotKeysController::setService(nullptr);
        service.reset();
    }

    // Records Ctrl+Alt+<key> and registers it, as the preferences page does.
    void record(const QString &key)
    {
        if (!shortcut)
            shortcut = std::make_unique<GlobalShortcut>(preferences, [this] { ++popups; });
        shortcut->setShortcutKey(key);
        shortcut->setShortcutModifiers(ModifierFlags(ModifierFlags::command | ModifierFlags::option));
        shortcut->registerShortcut();
    }
    bool boundTo(const QString &trigger)
    {
        return processUntil([&] { return service->boundTriggerDescription() == trigger; });
    }

    PrivateBus bus;
    std::unique_ptr<StandInProcess> portal;
    std::unique_ptr<PortalHotKeyService> service;
    FakePreferencesStore preferences;
    std::unique_ptr<GlobalShortcut> shortcut;
    int popups = 0, failures = 0, bindingChanges = 0;
};

TEST(PortalTrigger, NamesModifiersThenTheKeysXkbName)
{
    // The last two: a modifier key alone, and a code no key has, trigger nothing.
    for (const auto &[keyCode, modifiers, trigger] :
         {std::tuple<quint32, quint32, const char *>{0x28, command | option, "CTRL+ALT+k"},
          {0x31, control, "LOGO+space"},
          {0x60, shift | command, "SHIFT+CTRL+F5"},
          {0x52, option, "ALT+KP_0"},
          {0x38, command, ""},
          {0x7F, command, ""}})
        EXPECT_EQ(PortalHotKeyService::triggerText(keyCode, modifiers), QString::fromLatin1(trigger)) << keyCode;
}

TEST_F(PortalHotKeyTest, BindsInASessionActivationOpensThePopupARefusalIsReported)
{
    record(QStringLiteral("k"));
    const QString session = portal->waitForLine(QStringLiteral("create ")).section(u' ', 1);
    EXPECT_EQ(portal->waitForLine(QStringLiteral("bind ")),
              QStringLiteral("bind %1 brimble-CTRL+ALT+k CTRL+ALT+k").arg(session));
    EXPECT_TRUE(boundTo(QStringLiteral("Desktop CTRL+ALT+k")));
    EXPECT_EQ(service->sessionHandle(), session);
    EXPECT_GE(bindingChanges, 1);

    // Only our own shortcut's activation opens the popup.
    for (const char *request :
         {"activate brimble-CTRL+ALT+k", "activate someone-else", "deactivate brimble-CTRL+ALT+k"})
        portal->send(QString::fromLatin1(request));
    EXPECT_TRUE(processUntil([&] { return popups == 1; }));

    // The desktop lets the user pick another trigger in its settings.
    portal->send(QStringLiteral("changed Ctrl+F12"));
    EXPECT_TRUE(boundTo(QStringLiteral("Ctrl+F12")));

    // A new combination: the old session goes, a new one binds it.
    record(QStringLiteral("j"));
    EXPECT_EQ(portal->waitForLine(QStringLiteral("close ")), QStringLiteral("close ") + session);
    const QString second = portal->waitForLine(QStringLiteral("create ")).section(u' ', 1);
    EXPECT_NE(second, session);
    EXPECT_EQ(portal->waitForLine(QStringLiteral("bind ")),
              QStringLiteral("bind %1 brimble-CTRL+ALT+j CTRL+ALT+j").arg(second));
    EXPECT_TRUE(boundTo(QStringLiteral("Desktop CTRL+ALT+j")));
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(failures, 0);

    shortcut->unregisterShortcut();
    EXPECT_EQ(portal->waitForLine(QStringLiteral("close ")), QStringLiteral("close ") + second);
    EXPECT_TRUE(service->boundTriggerDescription().isEmpty());

    // A refused bind runs the failure routine once; recording again binds normally.
    portal->send(QStringLiteral("refuse"));
    record(QStringLiteral("k"));
    EXPECT_TRUE(processUntil([&] { return failures == 1; }));
    EXPECT_TRUE(service->boundTriggerDescription().isEmpty());
    portal->send(QStringLiteral("accept"));
    record(QStringLiteral("l"));
    EXPECT_TRUE(boundTo(QStringLiteral("Desktop CTRL+ALT+l")));
    EXPECT_EQ(failures, 1);
}

TEST(PortalProbe, TheLaunchChoosesThePortalOnAWaylandSessionThatOffersIt)
{
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_SESSION_TYPE");
    EXPECT_FALSE(createHotKeyService()->isDesktopBound()) << "no Wayland session";

    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    EXPECT_FALSE(PortalHotKeyService::portalOffersShortcuts(bus.client())) << "no portal on the bus yet";
    const auto portal = startPortal(bus);
    // The session bus is the private one; nothing in this program used
    // another before.
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address.toUtf8());
    qputenv("XDG_SESSION_TYPE", "wayland");
    QGuiApplication::setDesktopFileName(QStringLiteral("org.brimble.Brimble"));
    const std::unique_ptr<HotKeyService> chosen = createHotKeyService();
    qunsetenv("XDG_SESSION_TYPE");
    EXPECT_TRUE(chosen->isDesktopBound() && chosen->isAvailable());
    EXPECT_EQ(portal->waitForLine(QStringLiteral("register ")), QStringLiteral("register org.brimble.Brimble"));
}

} // namespace
