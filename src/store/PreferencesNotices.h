#pragma once

#include <QString>

#include <optional>

class PlistPreferencesStore;

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

} // namespace PreferencesNotices
