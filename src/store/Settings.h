#pragma once

#include <optional>

class PreferencesStore;

// The settings kept in the preferences store beside the favourites, read
// and written with their types; a value of another type counts as absent.
// Light enough to make where it is needed.
class Settings final
{
public:
    explicit Settings(PreferencesStore &preferences);

    // The first run is over once "first" holds a number, whatever number.
    bool isFirstRunFinished() const;
    // Ends the first run; a number stored already stays as it is.
    void finishFirstRun();

    // Whether a folder's menu in the popup lists its files too, not only
    // its subfolders; off unless stored.
    bool showsFileListInFolder() const;
    void setShowsFileListInFolder(bool show);
    // Stores "off" unless a choice is stored.
    void storeFileListInFolderDefault();

    // Whether Brimble starts at login, as last applied; nothing when never.
    std::optional<bool> startsAtLogin() const;
    void setStartsAtLogin(bool on);

    // The interface language chosen on the preferences page: 0 English,
    // 1 French (applied at the next start).
    void setSelectedLanguage(int index);

private:
    PreferencesStore &m_preferences;
};
