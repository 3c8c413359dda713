#include "platform/PlatformLog.h"

Q_LOGGING_CATEGORY(lcPlist, "brimble.platform.plist")
Q_LOGGING_CATEGORY(lcPreferences, "brimble.platform.preferences")
