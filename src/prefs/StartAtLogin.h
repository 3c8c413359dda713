#pragma once

class LoginItems;
class PreferencesStore;

namespace StartAtLogin {

// Turns start at login on or off as the user chose, from the preferences
// page, the onboarding page or the end of the first run. Logs the outcome;
// "LoginStartStatus" records the choice only when the change took effect.
// Returns whether it did.
bool apply(LoginItems &loginItems, PreferencesStore &preferences, bool on);

} // namespace StartAtLogin
