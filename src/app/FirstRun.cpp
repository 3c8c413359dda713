#include "app/FirstRun.h"

#include "prefs/StartAtLogin.h"
#include "store/Settings.h"

namespace FirstRun {

void finish(PreferencesStore &preferences, LoginItems &loginItems, std::optional<bool> startAtLogin)
{
    Settings(preferences).finishFirstRun();
    if (startAtLogin)
        StartAtLogin::apply(loginItems, preferences, *startAtLogin);
}

} // namespace FirstRun
