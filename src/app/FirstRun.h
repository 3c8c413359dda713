#pragma once

#include <optional>

class LoginItems;
class PreferencesStore;

// The end of the first run, as "Get started" on the onboarding page and
// closing the manager window during the first run both end it.
namespace FirstRun {

// Stores that the first run is over (a number stored there already stays)
// and, when the onboarding page offered the choice, turns start at login
// on or off as its box says.
void finish(PreferencesStore &preferences, LoginItems &loginItems, std::optional<bool> startAtLogin);

} // namespace FirstRun
