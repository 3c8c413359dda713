#pragma once

#include <QtGlobal>

namespace PlistDates {
// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
inline constexpr qint64 epochInUnixSeconds = 978307200;
} // namespace PlistDates
