#include "quicklist/GroupActions.h"

#include "quicklist/QuickList.h"
#include "store/ColorText.h"
#include "store/Sorting.h"
#include "store/ViewLinks.h"

GroupActions::GroupActions(QuickList &quickList, FavoritesStore &favorites, SortSettings &sortSettings,
                           ViewLinks &viewLinks)
    : m_quickList(quickList)
    , m_favorites(favorites)
    , m_sortSettings(sortSettings)
    , m_viewLinks(viewLinks)
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

QString GroupActions::refusalKey(FavoritesStore::GroupCreation result)
{
    switch (result) {
    case FavoritesStore::GroupCreation::emptyTitle:
        return QStringLiteral("IDS_BR_121");
    case FavoritesStore::GroupCreation::titleTaken:
        return QStringLiteral("IDS_BR_69");
    case FavoritesStore::GroupCreation::created:
        break;
    }
    return {};
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
    groups[index].setColor(ColorText::fromColor(color));
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::applyGroupSort()
{
    QList<Group> groups = m_quickList.grouparr();
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::applyItemSort()
{
    Sorting::sortAllGroupItems(m_favorites, m_quickList.grouparr(), m_sortSettings);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::groupSortByTags()
{
    m_sortSettings.groupSortKey = SortSettings::GroupKey::color;
    applyGroupSort();
}

void GroupActions::groupSortByName()
{
    m_sortSettings.groupSortKey = SortSettings::GroupKey::title;
    applyGroupSort();
}

void GroupActions::groupSortByNone()
{
    // Only the setting: the stored order stays as it is.
    m_sortSettings.groupSortKey = SortSettings::GroupKey::none;
}

void GroupActions::groupSortAscending()
{
    m_sortSettings.groupSortAscending = true;
    applyGroupSort();
}

void GroupActions::groupSortDescending()
{
    m_sortSettings.groupSortAscending = false;
    applyGroupSort();
}

void GroupActions::sortByName()
{
    m_sortSettings.itemSortKey = SortSettings::ItemKey::title;
    applyItemSort();
}

void GroupActions::sortByDate()
{
    m_sortSettings.itemSortKey = SortSettings::ItemKey::date;
    applyItemSort();
}

void GroupActions::sortAscending()
{
    m_sortSettings.itemSortAscending = true;
    applyItemSort();
}

void GroupActions::sortDescending()
{
    m_sortSettings.itemSortAscending = false;
    applyItemSort();
}
