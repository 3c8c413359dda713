#include "store/Settings.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"

Settings::Settings(PreferencesStore &preferences)
    : m_preferences(preferences)
{
}

bool Settings::isFirstRunFinished() const
{
    return m_preferences.integerForKey(StoreKeys::first).has_value();
}

void Settings::finishFirstRun()
{
    if (!isFirstRunFinished())
        m_preferences.setInteger(1, StoreKeys::first);
}

bool Settings::showsFileListInFolder() const
{
    return m_preferences.boolForKey(StoreKeys::showFileListInFolder).value_or(false);
}

void Settings::setShowsFileListInFolder(bool show)
{
    m_preferences.setBool(show, StoreKeys::showFileListInFolder);
}

void Settings::storeFileListInFolderDefault()
{
    if (!m_preferences.boolForKey(StoreKeys::showFileListInFolder))
        setShowsFileListInFolder(false);
}

std::optional<bool> Settings::startsAtLogin() const
{
    return m_preferences.boolForKey(StoreKeys::loginStartStatus);
}

void Settings::setStartsAtLogin(bool on)
{
    m_preferences.setBool(on, StoreKeys::loginStartStatus);
}

void Settings::setSelectedLanguage(int index)
{
    m_preferences.setInteger(index, StoreKeys::selectedLanguage);
}
