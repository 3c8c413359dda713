#pragma once

#include "store/Group.h"
#include "store/Item.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class PreferencesStore;
struct SortSettings;

// The favourites as they are kept in the preferences store: the group list
// under "allgroups" and one item list per group, plus the item counter.
// Every write goes straight to the preferences store, as a whole array.
// The rest of the application reads and changes favourites only here.
class FavoritesStore final
{
public:
    explicit FavoritesStore(PreferencesStore &preferences);

    // The group list, or an empty list when none is stored.
    QList<Group> groups() const;
    void setGroups(const QList<Group> &groups);
    // Whether a group list is stored at all, if an empty one.
    bool hasGroupList() const;
    // The titles of the stored groups, in order.
    QStringList groupTitles() const;
    bool hasGroupTitled(const QString &title) const;

    enum class GroupCreation { created, emptyTitle, titleTaken };
    // Adds a new group (Group(title)) after the stored groups, unless the
    // title is empty or a stored group has exactly this title (no trimming,
    // letter case counts). With sortSettings, the groups are then sorted by
    // them. No item list is stored for the new group.
    GroupCreation createGroup(const QString &title, const SortSettings *sortSettings = nullptr);

    // A group's items, or an empty list when the group has none stored.
    QList<Item> items(const QString &groupTitle) const;
    bool hasItemList(const QString &groupTitle) const;
    // The number of items stored for the group, counted without reading them.
    int itemCount(const QString &groupTitle) const;
    // Stores items as the group's list; elements of the stored list that are
    // not records stay in it, where they were.
    void setItems(const QString &groupTitle, const QList<Item> &items);
    void removeItems(const QString &groupTitle);
    // The first item of the group whose uid equals uid.
    std::optional<Item> findItem(const QString &groupTitle, qint64 uid) const;
    static int indexOfItem(const QList<Item> &items, qint64 uid);

    // Stores groups and, in the same write, removes the item lists of
    // removedTitles.
    void setGroupsRemovingItems(const QList<Group> &groups, const QStringList &removedTitles);
    // Stores groups and, in the same write, the item list stored under the
    // title from under the title to: moved, or, with copyItem, copied with
    // each item passed through copyItem (elements that are not records are
    // copied as they are). Anything but a list under from stays where it is.
    void setGroupsMovingItems(const QList<Group> &groups, const QString &from, const QString &to,
                              const std::function<Item(const Item &)> &copyItem = {});

    // A new item identity: one more than the last one handed out.
    qint64 nextUid();
    // item with a fresh uid and the current date.
    Item withNewIdentity(Item item);
    // Appends item to the group's list and writes the list back.
    void appendItemToGroup(const QString &groupTitle, const Item &item);
    // A file, folder or application item for path with its uid and date.
    Item makeFileItem(const QString &path);

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
