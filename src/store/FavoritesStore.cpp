#include "store/FavoritesStore.h"

#include "platform/PreferencesStore.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <limits>
#include <vector>

FavoritesStore::FavoritesStore(PreferencesStore &preferences)
    : m_preferences(preferences)
{
}

QList<Group> FavoritesStore::groups() const
{
    return StoredRecords::groups(m_preferences.arrayForKey(StoreKeys::allgroups).value_or(QVariantList()));
}

void FavoritesStore::setGroups(const QList<Group> &groups)
{
    m_preferences.setObject(StoredRecords::array(groups), StoreKeys::allgroups);
}

bool FavoritesStore::hasGroupList() const
{
    return m_preferences.arrayForKey(StoreKeys::allgroups).has_value();
}

QStringList FavoritesStore::groupTitles() const
{
    QStringList titles;
    for (const Group &group : groups())
        titles.append(group.title());
    return titles;
}

bool FavoritesStore::hasGroupTitled(const QString &title) const
{
    return groupTitles().contains(title);
}

FavoritesStore::GroupCreation FavoritesStore::createGroup(const QString &title, const SortSettings *sortSettings)
{
    if (title.isEmpty())
        return GroupCreation::emptyTitle;
    // The stored groups, not a view's copy: a group made meanwhile elsewhere
    // (the other window, another computer) counts and stays.
    QList<Group> stored = groups();
    if (std::any_of(stored.cbegin(), stored.cend(), [&title](const Group &group) { return group.title() == title; }))
        return GroupCreation::titleTaken;
    stored.append(Group(title));
    setGroups(sortSettings ? Sorting::sortedGroups(stored, *sortSettings) : stored);
    return GroupCreation::created;
}

QString FavoritesStore::itemListKey(const QString &groupTitle)
{
    return StoreKeys::itemListPrefix + groupTitle;
}

QList<Item> FavoritesStore::items(const QString &groupTitle) const
{
    return StoredRecords::items(m_preferences.arrayForKey(itemListKey(groupTitle)).value_or(QVariantList()));
}

bool FavoritesStore::hasItemList(const QString &groupTitle) const
{
    return m_preferences.arrayForKey(itemListKey(groupTitle)).has_value();
}

int FavoritesStore::itemCount(const QString &groupTitle) const
{
    const auto array = m_preferences.arrayForKey(itemListKey(groupTitle));
    return array ? int(std::count_if(array->cbegin(), array->cend(), StoredValue::isDictionary)) : 0;
}

void FavoritesStore::setItems(const QString &groupTitle, const QList<Item> &items)
{
    const QString key = itemListKey(groupTitle);
    QVariantList list = StoredRecords::array(items);
    // Elements that are not records (another program's, or damage) are
    // nobody's to drop: they keep their places among the records.
    if (!m_preferences.holdsListOfDictionaries(key)) {
        const QVariantList stored = m_preferences.arrayForKey(key).value_or(QVariantList());
        for (qsizetype i = 0; i < stored.size(); ++i) {
            if (!StoredValue::isDictionary(stored.at(i)))
                list.insert(std::min(i, list.size()), stored.at(i));
        }
    }
    m_preferences.setObject(list, key);
}

void FavoritesStore::removeItems(const QString &groupTitle)
{
    m_preferences.removeObjectForKey(itemListKey(groupTitle));
}

int FavoritesStore::indexOfItem(const QList<Item> &items, qint64 uid)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).uid() == uid)
            return i;
    }
    return -1;
}

std::optional<Item> FavoritesStore::findItem(const QString &groupTitle, qint64 uid) const
{
    const QList<Item> list = items(groupTitle);
    const int index = indexOfItem(list, uid);
    return index < 0 ? std::nullopt : std::optional(list.at(index));
}

void FavoritesStore::setGroupsRemovingItems(const QList<Group> &groups, const QStringList &removedTitles)
{
    QStringList removedKeys;
    for (const QString &title : removedTitles)
        removedKeys.append(itemListKey(title));
    m_preferences.applyChanges({{StoreKeys::allgroups, StoredRecords::array(groups)}}, removedKeys);
}

void FavoritesStore::setGroupsMovingItems(const QList<Group> &groups, const QString &from, const QString &to,
                                          const std::function<Item(const Item &)> &copyItem)
{
    const QString oldKey = itemListKey(from);
    QVariantMap values{{StoreKeys::allgroups, StoredRecords::array(groups)}};
    QStringList removedKeys;
    // Only a list moves; anything else stored under the old title stays.
    if (auto list = m_preferences.arrayForKey(oldKey)) {
        if (copyItem) {
            for (QVariant &element : *list) {
                // Elements that are not records are copied as they are.
                if (StoredValue::isDictionary(element))
                    element = StoredRecords::record(copyItem(StoredRecords::item(element.toMap())));
            }
        } else {
            removedKeys.append(oldKey);
        }
        values.insert(itemListKey(to), *list);
    }
    m_preferences.applyChanges(values, removedKeys);
}

qint64 FavoritesStore::nextUid()
{
    const qint64 last = m_preferences.integerForKey(StoreKeys::uniqueid).value_or(0);
    // A counter at the largest integer (or below zero) was not written by us;
    // one more would overflow into identities already in use.
    const qint64 next = last >= 0 && last < std::numeric_limits<qint64>::max() ? last + 1 : firstOfLongestFreeUidRun();
    m_preferences.setInteger(next, StoreKeys::uniqueid);
    return next;
}

qint64 FavoritesStore::firstOfLongestFreeUidRun() const
{
    std::vector<qint64> used;
    for (const QString &title : groupTitles()) {
        for (const Item &item : items(title)) {
            if (const auto uid = item.uid(); uid && *uid > 0)
                used.push_back(*uid);
        }
    }
    used.push_back(std::numeric_limits<qint64>::max()); // the counter's own value
    std::sort(used.begin(), used.end());
    qint64 previous = 0;
    qint64 bestStart = 1;
    qint64 bestLength = 0;
    for (const qint64 uid : used) {
        if (uid - previous - 1 > bestLength) {
            bestLength = uid - previous - 1;
            bestStart = previous + 1;
        }
        previous = uid;
    }
    return bestStart;
}

Item FavoritesStore::withNewIdentity(Item item)
{
    item.setUid(nextUid());
    item.setDate(QDateTime::currentDateTimeUtc());
    return item;
}

void FavoritesStore::appendItemToGroup(const QString &groupTitle, const Item &item)
{
    QList<Item> list = items(groupTitle);
    list.append(item);
    setItems(groupTitle, list);
}

Item FavoritesStore::makeFileItem(const QString &path)
{
    return withNewIdentity(Item::file(path));
}

void FavoritesStore::adoptBareTitleItemLists()
{
    const QStringList titles = groupTitles();
    QSet<QString> ownKeys(std::begin(StoreKeys::reserved), std::end(StoreKeys::reserved));
    for (const QString &title : titles)
        ownKeys.insert(itemListKey(title));
    const QStringList stored = m_preferences.allKeys();
    const QSet<QString> storedKeys(stored.cbegin(), stored.cend());

    QVariantMap joinedLists;
    QList<std::pair<QString, QString>> moves;
    QStringList adopted;
    for (const QString &title : titles) {
        if (ownKeys.contains(title) || adopted.contains(title) || !storedKeys.contains(title))
            continue;
        // Only a list of records is a group's items: a setting that shares
        // the title (one added later, say) holds something else.
        if (!m_preferences.holdsListOfDictionaries(title))
            continue;
        const QString key = itemListKey(title);
        const std::optional<QVariantList> kept = storedKeys.contains(key) ? m_preferences.arrayForKey(key)
                                                                          : std::nullopt;
        adopted.append(title);
        if (!kept) {
            // Moved as it is stored, without reading every record.
            moves.append({title, key});
            continue;
        }
        // Both forms: keep the list already moved, add what only the bare one holds.
        QVariantList joined = *kept;
        for (const QVariant &item : m_preferences.arrayForKey(title).value_or(QVariantList())) {
            if (!kept->contains(item))
                joined.append(item);
        }
        joinedLists.insert(key, joined);
    }
    if (adopted.isEmpty())
        return;
    if (joinedLists.isEmpty()) {
        m_preferences.moveObjects(moves);
        return;
    }
    // One write for all of it.
    for (const auto &[from, to] : moves)
        joinedLists.insert(to, m_preferences.objectForKey(from));
    m_preferences.applyChanges(joinedLists, adopted);
}

void FavoritesStore::upgradeItemRecords()
{
    if (m_preferences.hasObjectForKey(StoreKeys::checkUniquiidAdded))
        return;
    if (m_preferences.hasObjectForKey(StoreKeys::first)) {
        for (const QString &title : groupTitles()) {
            if (!hasItemList(title))
                continue;
            QList<Item> list = items(title);
            for (Item &item : list) {
                if (!item.uid())
                    item.setUid(nextUid());
                if (!item.date())
                    item.setDate(QDateTime::currentDateTimeUtc());
            }
            setItems(title, list);
        }
    }
    m_preferences.setBool(true, StoreKeys::checkUniquiidAdded);
}
