#include "store/GroupLists.h"

#include "platform/PreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/Records.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"

GroupLists::GroupLists(FavoritesStore &favorites, const SupportFiles &supportFiles)
    : m_favorites(favorites)
    , m_supportFiles(supportFiles)
{
}

bool GroupLists::sharesItems(const QList<QVariantMap> &groups, int index)
{
    if (index < 0 || index >= groups.size())
        return false;
    const QString title = Records::title(groups.at(index));
    for (int other = 0; other < groups.size(); ++other) {
        if (other != index && Records::title(groups.at(other)) == title)
            return true;
    }
    return false;
}

void GroupLists::deleteGroup(QList<QVariantMap> &groups, int index)
{
    if (index < 0 || index >= groups.size())
        return;
    const bool shared = sharesItems(groups, index);
    const QString title = Records::title(groups.takeAt(index));
    QStringList removedKeys;
    if (!shared) {
        for (const QVariantMap &item : m_favorites.items(title))
            m_supportFiles.removeFilesOf(item);
        removedKeys.append(FavoritesStore::itemListKey(title));
    }
    m_favorites.preferences().applyChanges({{StoreKeys::allgroups, Records::arrayOf(groups)}}, removedKeys);
}

void GroupLists::renameGroup(QList<QVariantMap> &groups, int index, const QString &title)
{
    if (index < 0 || index >= groups.size())
        return;
    const bool shared = sharesItems(groups, index);
    const QString oldKey = FavoritesStore::itemListKey(Records::title(groups.at(index)));
    groups[index].insert(RecordKeys::title, title);
    QVariantMap values{{StoreKeys::allgroups, Records::arrayOf(groups)}};
    QStringList removedKeys;
    // Only a list moves; anything else stored under the old title stays.
    if (auto list = m_favorites.preferences().arrayForKey(oldKey)) {
        if (shared) {
            for (QVariant &element : *list) {
                // Elements that are no records are copied as they are.
                if (StoredValue::isDictionary(element))
                    element = ownCopyOf(element.toMap());
            }
        } else {
            removedKeys.append(oldKey);
        }
        values.insert(FavoritesStore::itemListKey(title), *list);
    }
    m_favorites.preferences().applyChanges(values, removedKeys);
}

QVariantMap GroupLists::ownCopyOf(QVariantMap item)
{
    if (Records::uid(item))
        item.insert(RecordKeys::uid, m_favorites.nextUid());
    QList<QString> fileKeys{RecordKeys::imgpath};
    if (Records::kindOf(item) == ItemKind::text)
        fileKeys.append(RecordKeys::url);
    for (const QString &key : fileKeys) {
        const auto path = StoredValue::stringIn(item, key);
        if (!path || !m_supportFiles.contains(*path))
            continue;
        // A file that cannot be copied (gone, say) is left named as it was.
        if (const auto copy = m_supportFiles.copyFile(*path))
            item.insert(key, *copy);
    }
    return item;
}
