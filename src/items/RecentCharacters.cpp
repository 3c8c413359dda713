#include "items/RecentCharacters.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"

RecentCharacters::RecentCharacters(PreferencesStore &preferences)
    : m_preferences(preferences)
{
}

QStringList RecentCharacters::characters() const
{
    QStringList texts;
    for (const QVariant &value : m_preferences.arrayForKey(StoreKeys::recentCharacters).value_or(QVariantList())) {
        const auto text = StoredValue::toString(value);
        if (text && !text->isEmpty() && !texts.contains(*text))
            texts.append(*text);
    }
    return texts.mid(0, capacity);
}

void RecentCharacters::use(const QString &text)
{
    if (text.isEmpty())
        return;
    QStringList texts = characters();
    texts.removeAll(text);
    texts.prepend(text);
    QVariantList stored;
    for (const QString &entry : texts.mid(0, capacity))
        stored.append(entry);
    m_preferences.setObject(stored, StoreKeys::recentCharacters);
}
