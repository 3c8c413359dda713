#include "prefs/StartAtLogin.h"

#include "platform/LoginItems.h"
#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"

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
    preferences.setBool(on, StoreKeys::loginStartStatus);
    return true;
}

} // namespace StartAtLogin
