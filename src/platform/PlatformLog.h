#pragma once

#include <QLoggingCategory>

// The logging categories that more than one source of this folder writes to.
Q_DECLARE_LOGGING_CATEGORY(lcPlist)       // property lists, XML and binary
Q_DECLARE_LOGGING_CATEGORY(lcPreferences) // the preferences store and its writer
