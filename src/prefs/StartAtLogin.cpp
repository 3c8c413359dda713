#include "prefs/StartAtLogin.h"

#include "platform/LoginItems.h"
#include "store/Settings.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPrefs, "brimble.prefs")

namespace StartAtLogin {

bool apply(LoginItems &loginItems, PreferencesStore &preferences, bool on)
{
    if (!loginItems.setEnabled(on)) {
        qCInfo(lcPrefs).noquote() << "Failed to add login item.";
        return false;
    }
    qCInfo(lcPrefs).noquote() << (on ? "Successfully add login item." : "Successfully remove login item.");
    Settings(preferences).setStartsAtLogin(on);
    return true;
}

} // namespace StartAtLogin
