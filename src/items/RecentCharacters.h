#pragma once

#include <QStringList>

class PreferencesStore;

// The characters last chosen in the character palette, most recent first,
// kept in the preferences store.
class RecentCharacters final
{
public:
    static constexpr int capacity = 24;

    explicit RecentCharacters(PreferencesStore &preferences);

    QStringList characters() const;
    // Moves text to the front, dropping the oldest beyond capacity.
    void use(const QString &text);

private:
    PreferencesStore &m_preferences;
};
