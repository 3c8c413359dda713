#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

class PreferencesStore;

// The favourites as they are kept in the preferences store: the group list
// under "allgroups" and one item list per group, plus the item counter.
// Every write goes straight to the preferences store, as a whole array.
class FavoritesStore final
{
public:
    explicit FavoritesStore(PreferencesStore &preferences);

    PreferencesStore &preferences() const { return m_preferences; }

    // The group list, or an empty list when none is stored.
    QList<QVariantMap> groups() const;
    void setGroups(const QList<QVariantMap> &groups);
    // The titles of the stored groups, in order.
    QStringList groupTitles() const;
    bool hasGroupTitled(const QString &title) const;

    // A group's items, or an empty list when the group has none stored.
    QList<QVariantMap> items(const QString &groupTitle) const;
    bool hasItemList(const QString &groupTitle) const;
    // Stores items as the group's list; elements of the stored list that are
    // not records stay in it, where they were.
    void setItems(const QString &groupTitle, const QList<QVariantMap> &items);
    void removeItems(const QString &groupTitle);
    // The first item of the group whose "uid" equals uid.
    std::optional<QVariantMap> findItem(const QString &groupTitle, qint64 uid) const;
    static int indexOfItem(const QList<QVariantMap> &items, qint64 uid);

    // A new item identity: one more than the last one handed out.
    qint64 nextUid();
    // item with a fresh "uid" and the current "date" added after its own keys.
    QVariantMap withNewIdentity(QVariantMap item);
    // Appends item to the group's list and writes the list back.
    void appendItemToGroup(const QString &groupTitle, const QVariantMap &item);
    // A file, folder or application item for path with its uid and date.
    QVariantMap makeFileItem(const QString &path);

    // Moves every item list stored under a group's bare title (the layout of
    // stores written elsewhere) to the group's own key, joining it with any
    // list already there, in one write. Runs at every launch, before
    // upgradeItemRecords. A title that is one of the store's own keys, or the
    // key of another group's list, or that holds anything but records, is
    // never taken for a group's items.
    void adoptBareTitleItemLists();

    // Gives old item records without "uid" or "date" their identity and
    // creation time, once per installation.
    void upgradeItemRecords();

    // The preferences key that holds a group's items.
    static QString itemListKey(const QString &groupTitle);

private:
    // The start of the longest run of identities no item uses, for when the
    // counter has reached the largest integer.
    qint64 firstOfLongestFreeUidRun() const;

    PreferencesStore &m_preferences;
};
