#include "quicklist/GroupActions.h"

#include "quicklist/QuickList.h"
#include "store/ColorText.h"
#include "store/FavoritesHistory.h"
#include "store/Sorting.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

GroupActions::GroupActions(QuickList &quickList, FavoritesStore &favorites, SortSettings &sortSettings,
                           ViewLinks &viewLinks, FavoritesHistory *history)
    : m_quickList(quickList)
    , m_favorites(favorites)
    , m_sortSettings(sortSettings)
    , m_viewLinks(viewLinks)
    , m_history(history)
{
}

FavoritesStore::GroupCreation GroupActions::createGroup(const QString &name)
{
    const FavoritesStore::GroupCreation result = m_favorites.createGroup(name, &m_sortSettings);
    if (result == FavoritesStore::GroupCreation::created) {
        m_quickList.reloadQuickList();
        m_viewLinks.requestManagerGroupsReload();
    }
    return result;
}

std::optional<TextKey> GroupActions::refusalKey(FavoritesStore::GroupCreation result)
{
    switch (result) {
    case FavoritesStore::GroupCreation::emptyTitle:
        return Text::groupNameEmpty;
    case FavoritesStore::GroupCreation::titleTaken:
        return Text::groupNamesMustBeUnique;
    case FavoritesStore::GroupCreation::created:
        break;
    }
    return std::nullopt;
}

int GroupActions::indexForColorChange(int row) const
{
    if (m_quickList.searchBegin())
        return -1;
    const auto heading = m_quickList.headingAt(row);
    if (!heading)
        return -1;
    const QList<Group> &groups = m_quickList.grouparr();
    for (int index = 0; index < groups.size(); ++index) {
        if (groups.at(index).title() == heading->title())
            return index;
    }
    return -1;
}

void GroupActions::changeColor(int index, const QColor &color)
{
    QList<Group> groups = m_quickList.grouparr();
    if (index < 0 || index >= groups.size() || !color.isValid())
        return;
    const FavoritesHistoryStep step(m_history, Text::changeColourStep, QStringList());
    groups[index].setColor(ColorText::fromColor(color));
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::applyGroupSort(const std::function<void(SortSettings &)> &choose)
{
    const FavoritesHistoryStep step(m_history, Text::sortStep, QStringList());
    choose(m_sortSettings);
    QList<Group> groups = m_quickList.grouparr();
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::applyItemSort(const std::function<void(SortSettings &)> &choose)
{
    const FavoritesHistoryStep step(m_history, Text::sortStep);
    choose(m_sortSettings);
    Sorting::sortAllGroupItems(m_favorites, m_quickList.grouparr(), m_sortSettings);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::groupSortByTags()
{
    applyGroupSort([](SortSettings &settings) { settings.groupSortKey = SortSettings::GroupKey::color; });
}

void GroupActions::groupSortByName()
{
    applyGroupSort([](SortSettings &settings) { settings.groupSortKey = SortSettings::GroupKey::title; });
}

void GroupActions::groupSortByNone()
{
    // Only the setting: the stored order stays as it is.
    m_sortSettings.groupSortKey = SortSettings::GroupKey::none;
}

void GroupActions::groupSortAscending()
{
    applyGroupSort([](SortSettings &settings) { settings.groupSortAscending = true; });
}

void GroupActions::groupSortDescending()
{
    applyGroupSort([](SortSettings &settings) { settings.groupSortAscending = false; });
}

void GroupActions::sortByName()
{
    applyItemSort([](SortSettings &settings) { settings.itemSortKey = SortSettings::ItemKey::title; });
}

void GroupActions::sortByDate()
{
    applyItemSort([](SortSettings &settings) { settings.itemSortKey = SortSettings::ItemKey::date; });
}

void GroupActions::sortAscending()
{
    applyItemSort([](SortSettings &settings) { settings.itemSortAscending = true; });
}

void GroupActions::sortDescending()
{
    applyItemSort([](SortSettings &settings) { settings.itemSortAscending = false; });
}
