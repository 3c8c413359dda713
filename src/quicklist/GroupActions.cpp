#include "quicklist/GroupActions.h"

#include "platform/PreferencesStore.h"
#include "quicklist/QuickList.h"
#include "store/ColorText.h"
#include "store/FavoritesStore.h"
#include "store/Records.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/ViewLinks.h"

GroupActions::GroupActions(QuickList &quickList, FavoritesStore &favorites, SortSettings &sortSettings,
                           ViewLinks &viewLinks)
    : m_quickList(quickList)
    , m_favorites(favorites)
    , m_sortSettings(sortSettings)
    , m_viewLinks(viewLinks)
{
}

GroupActions::Creation GroupActions::createGroup(const QString &name)
{
    if (name.isEmpty())
        return Creation::emptyName;
    for (const QVariantMap &group : m_quickList.grouparr()) {
        if (StoredValue::stringIn(group, RecordKeys::title) == name)
            return Creation::duplicateName;
    }
    QList<QVariantMap> groups = m_quickList.grouparr();
    groups.append(Records::newGroup(name));
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.setGrouparr(groups);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
    return Creation::created;
}

QString GroupActions::refusalKey(Creation result)
{
    switch (result) {
    case Creation::emptyName:
        return QStringLiteral("IDS_BR_121");
    case Creation::duplicateName:
        return QStringLiteral("IDS_BR_69");
    case Creation::created:
        break;
    }
    return {};
}

int GroupActions::indexForColorChange(int row) const
{
    if (m_quickList.searchBegin())
        return -1;
    const QVariantMap heading = m_quickList.groupedRecordAt(row);
    if (!StoredValue::isBool(heading.value(RecordKeys::isHeader)))
        return -1;
    const QString title = Records::title(heading);
    const QList<QVariantMap> &groups = m_quickList.grouparr();
    for (int index = 0; index < groups.size(); ++index) {
        if (StoredValue::stringIn(groups.at(index), RecordKeys::title) == title)
            return index;
    }
    return -1;
}

void GroupActions::changeColor(int index, const QColor &color)
{
    QList<QVariantMap> groups = m_quickList.grouparr();
    if (index < 0 || index >= groups.size() || !color.isValid())
        return;
    groups[index].insert(RecordKeys::color, ColorText::fromColor(color));
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.setGrouparr(groups);
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

void GroupActions::applyGroupSort()
{
    QList<QVariantMap> groups = m_quickList.grouparr();
    Sorting::sortingGroups(m_favorites, groups, m_sortSettings);
    m_quickList.setGrouparr(groups);
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
