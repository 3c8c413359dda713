#include "store/FavoritesStore.h"

#include "platform/PreferencesStore.h"
#include "store/Records.h"
#include "store/StoreKeys.h"

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

QList<QVariantMap> FavoritesStore::groups() const
{
    return Records::recordsOf(m_preferences.arrayForKey(StoreKeys::allgroups).value_or(QVariantList()));
}

void FavoritesStore::setGroups(const QList<QVariantMap> &groups)
{
    m_preferences.setObject(Records::arrayOf(groups), StoreKeys::allgroups);
}

QStringList FavoritesStore::groupTitles() const
{
    QStringList titles;
    for (const QVariantMap &group : groups())
        titles.append(Records::title(group));
    return titles;
}

bool FavoritesStore::hasGroupTitled(const QString &title) const
{
    return groupTitles().contains(title);
}

QString FavoritesStore::itemListKey(const QString &groupTitle)
{
    return StoreKeys::itemListPrefix + groupTitle;
}

QList<QVariantMap> FavoritesStore::items(const QString &groupTitle) const
{
    return Records::recordsOf(m_preferences.arrayForKey(itemListKey(groupTitle)).value_or(QVariantList()));
}

bool FavoritesStore::hasItemList(const QString &groupTitle) const
{
    return m_preferences.arrayForKey(itemListKey(groupTitle)).has_value();
}

void FavoritesStore::setItems(const QString &groupTitle, const QList<QVariantMap> &items)
{
    const QString key = itemListKey(groupTitle);
    QVariantList list = Records::arrayOf(items);
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

int FavoritesStore::indexOfItem(const QList<QVariantMap> &items, qint64 uid)
{
    for (int i = 0; i < items.size(); ++i) {
        if (Records::uid(items.at(i)) == uid)
            return i;
    }
    return -1;
}

std::optional<QVariantMap> FavoritesStore::findItem(const QString &groupTitle, qint64 uid) const
{
    const QList<QVariantMap> list = items(groupTitle);
    const int index = indexOfItem(list, uid);
    return index < 0 ? std::nullopt : std::optional(list.at(index));
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
        for (const QVariantMap &item : items(title)) {
            if (const auto uid = Records::uid(item); uid && *uid > 0)
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

QVariantMap FavoritesStore::withNewIdentity(QVariantMap item)
{
    item.insert(RecordKeys::uid, nextUid());
    item.insert(RecordKeys::date, QDateTime::currentDateTimeUtc());
    return item;
}

void FavoritesStore::appendItemToGroup(const QString &groupTitle, const QVariantMap &item)
{
    QList<QVariantMap> list = items(groupTitle);
    list.append(item);
    setItems(groupTitle, list);
}

QVariantMap FavoritesStore::makeFileItem(const QString &path)
{
    const QString cleanPath = QDir::cleanPath(path);
    const QString name = cleanPath == QLatin1String("/") ? cleanPath : QFileInfo(cleanPath).fileName();
    return withNewIdentity({
        {RecordKeys::title, name},
        {RecordKeys::url, cleanPath},
        {RecordKeys::isnormalFile, true},
    });
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
        const std::optional<QVariantList> kept =
            storedKeys.contains(key) ? m_preferences.arrayForKey(key) : std::nullopt;
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
        for (const QVariantMap &group : groups()) {
            const QString title = Records::title(group);
            if (!hasItemList(title))
                continue;
            QList<QVariantMap> list = items(title);
            for (QVariantMap &item : list) {
                if (!Records::uid(item))
                    item.insert(RecordKeys::uid, nextUid());
                if (!StoredValue::dateIn(item, RecordKeys::date))
                    item.insert(RecordKeys::date, QDateTime::currentDateTimeUtc());
            }
            setItems(title, list);
        }
    }
    m_preferences.setBool(true, StoreKeys::checkUniquiidAdded);
}
