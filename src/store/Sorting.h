#pragma once

#include "store/Group.h"
#include "store/Item.h"

#include <QList>
#include <QString>

class FavoritesStore;

// How groups and items are ordered. One instance is shared by every view of
// the process; it starts from these values at each start and is never stored.
struct SortSettings
{
    enum class GroupKey { color = 0, title = 1, none = 2 };
    enum class ItemKey { title = 0, date = 1 };

    GroupKey groupSortKey = GroupKey::none;
    bool groupSortAscending = false;
    ItemKey itemSortKey = ItemKey::date;
    bool itemSortAscending = false;

    bool operator==(const SortSettings &other) const = default;
};

// The sorts rewrite the stored order. They are stable: records that compare
// equal keep their order. Strings compare by their canonical (NFD) form,
// code unit by code unit, case-sensitively; dates chronologically. A record
// without the key sorts after those that have it, in either direction.
namespace Sorting {

// Groups by the group settings; unchanged when the key is "none".
QList<Group> sortedGroups(QList<Group> groups, const SortSettings &settings);
// Pinned items first in their previous order, then the others sorted.
QList<Item> sortedItems(const QList<Item> &items, const SortSettings &settings);

// Sorts grouparr and writes it to "allgroups".
void sortingGroups(FavoritesStore &store, QList<Group> &grouparr, const SortSettings &settings);
// Sorts selectedGroupItems and writes them under the group's title.
void sortSelectedGroupItems(FavoritesStore &store, QList<Item> &selectedGroupItems, const QString &groupTitle,
                            const SortSettings &settings);
// The group's stored items, sorted; written back only when their order
// changed.
QList<Item> sortStoredItems(FavoritesStore &store, const QString &groupTitle, const SortSettings &settings);
// sortStoredItems for every group of groups.
void sortAllGroupItems(FavoritesStore &store, const QList<Group> &groups, const SortSettings &settings);

} // namespace Sorting
