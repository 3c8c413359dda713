#pragma once

#include "store/FavoritesStore.h"
#include "store/TextKey.h"

#include <QColor>
#include <QString>

#include <functional>

class FavoritesHistory;
#include <optional>

class QuickList;
class ViewLinks;
struct SortSettings;

// What the popup does to groups: creating one, its colour tag, and the sort
// menu's choices.
class GroupActions final
{
public:
    // Changes are recorded in history, when there is one.
    GroupActions(QuickList &quickList, FavoritesStore &favorites, SortSettings &sortSettings, ViewLinks &viewLinks,
                 FavoritesHistory *history = nullptr);

    // Creates a group named name by the store's rule
    // (FavoritesStore::createGroup), placed by the group sort.
    FavoritesStore::GroupCreation createGroup(const QString &name);
    // The keyed text that explains a refusal; empty for created.
    static std::optional<TextKey> refusalKey(FavoritesStore::GroupCreation result);

    // The group (an index into grouparr) whose heading is at row: the first
    // group with the heading's title; -1 when row is no heading.
    int indexForColorChange(int row) const;
    // Gives group index the colour tag of color and re-sorts the groups.
    void changeColor(int index, const QColor &color);

    // The sort menu.
    void groupSortByTags();
    void groupSortByName();
    void groupSortByNone();
    void groupSortAscending();
    void groupSortDescending();
    void sortByName();
    void sortByDate();
    void sortAscending();
    void sortDescending();

private:
    // Makes the sort menu's choice and sorts by it.
    void applyGroupSort(const std::function<void(SortSettings &)> &choose);
    void applyItemSort(const std::function<void(SortSettings &)> &choose);

    QuickList &m_quickList;
    FavoritesStore &m_favorites;
    SortSettings &m_sortSettings;
    ViewLinks &m_viewLinks;
    FavoritesHistory *m_history;
};
