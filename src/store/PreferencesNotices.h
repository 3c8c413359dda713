#pragma once

#include "platform/PlistPreferencesStore.h"

#include <QString>

#include <optional>

// What the user reads when the preferences file cannot be read or written.
struct PreferencesNotice
{
    QString title;
    QString text;
};

namespace PreferencesNotices {

// The notice for what happened to the file at start, if anything did.
std::optional<PreferencesNotice> forLoad(const PlistPreferencesStore &store);
// The notice for a store whose changes cannot be written to filePath.
PreferencesNotice forSaveFailure(const QString &filePath);
// The message for what another program did to the file while Brimble ran,
// when the user needs to know: records kept twice, a conflict copy merged,
// a damaged or unreadable file in its place. Merges that lost nothing and
// doubled nothing say nothing: the favourites simply show them.
std::optional<QString> forOutsideChange(const PlistPreferencesStore::OutsideChange &change);

} // namespace PreferencesNotices
