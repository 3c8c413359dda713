#pragma once

// Starting Brimble when the user logs in.
class LoginItems
{
public:
    virtual ~LoginItems() = default;
    // Turns start at login on or off; false when that failed.
    virtual bool setEnabled(bool enabled) = 0;
};

// Stands in until the desktop's autostart entry is written: refuses.
class UnsupportedLoginItems final : public LoginItems
{
public:
    bool setEnabled(bool) override { return false; }
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

    int calls = 0;
    bool lastEnabled = false;
    bool succeeds = true;
};
