#pragma once

#include <QLatin1String>

// The small program that the desktop's autostart runs at login: it owns a
// name on the session bus while it starts Brimble, so that Brimble can tell
// a start at login from one the user asked for, and quits when Brimble
// emits killLauncher (or after a while on its own).
namespace LoginHelper {
inline constexpr QLatin1String executableName("brimble-login-helper");
inline constexpr QLatin1String serviceName("org.brimble.BrimbleLauncher");
inline constexpr QLatin1String objectPath("/org/brimble/BrimbleLauncher");
inline constexpr QLatin1String interfaceName("org.brimble.BrimbleLauncher");
inline constexpr QLatin1String killSignal("killLauncher");
// The application id, sent as the signal's argument.
inline constexpr QLatin1String applicationId("org.brimble.Brimble");
// The helper gives up waiting for Brimble's signal after this long.
inline constexpr int lifetimeMs = 30'000;
} // namespace LoginHelper

// Starting Brimble when the user logs in.
class LoginItems
{
public:
    virtual ~LoginItems() = default;
    // Turns start at login on or off; false when that failed.
    virtual bool setEnabled(bool enabled) = 0;
    // When a login helper is running (Brimble was started at login), asks it
    // to quit and returns true; false when none is running.
    virtual bool endLoginHelper() = 0;
};

// Records the calls, for tests.
class FakeLoginItems final : public LoginItems
{
public:
    bool setEnabled(bool enabled) override
    {
        ++calls;
        lastEnabled = enabled;
        return succeeds;
    }
    bool endLoginHelper() override
    {
        if (!helperRunning)
            return false;
        ++killLauncherSent;
        helperRunning = false;
        return true;
    }

    int calls = 0;
    bool lastEnabled = false;
    bool succeeds = true;
    bool helperRunning = false;
    int killLauncherSent = 0;
};
