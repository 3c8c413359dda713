#include "manager/ManagerGroups.h"

#include "store/ColorText.h"
#include "store/FavoritesHistory.h"
#include "store/FavoritesStore.h"
#include "store/GroupLists.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <algorithm>

namespace {
const QString defaultGroupBaseName = QStringLiteral("Group");
} // namespace

ManagerGroups::ManagerGroups(const ManagerServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{
}

QString ManagerGroups::groupTitle(int row) const
{
    return row >= 0 && row < m_grouparr.size() ? m_grouparr.at(row).title() : QString();
}

QString ManagerGroups::selectedGroupTitle() const
{
    return groupTitle(m_selectedRow);
}

int ManagerGroups::itemCount(int row) const
{
    if (row < 0 || row >= m_grouparr.size())
        return 0;
    return m_services.favorites.itemCount(groupTitle(row));
}

void ManagerGroups::storeGroups()
{
    m_services.favorites.setGroups(m_grouparr);
}

void ManagerGroups::followSelection(const QString &title)
{
    if (m_grouparr.isEmpty()) {
        m_selectedRow = -1;
        return;
    }
    for (int row = 0; row < m_grouparr.size(); ++row) {
        if (!title.isNull() && m_grouparr.at(row).title() == title) {
            m_selectedRow = row;
            return;
        }
    }
    m_selectedRow = qBound(0, m_selectedRow, int(m_grouparr.size()) - 1);
}

void ManagerGroups::showGroupsAgain(const QString &selected)
{
    followSelection(selected);
    Q_EMIT groupsReset();
    Q_EMIT groupsReloaded();
}

void ManagerGroups::loadGroups()
{
    const QString title = m_selectedRow >= 0 ? selectedGroupTitle() : QString();
    m_grouparr = m_services.favorites.groups();
    showGroupsAgain(title);
}

void ManagerGroups::selectGroup(int row)
{
    m_selectedRow = row >= 0 && row < m_grouparr.size() ? row : -1;
    Q_EMIT selectionMoved(m_selectedRow);
    m_services.viewLinks.requestQuickListReload();
}

QString ManagerGroups::defaultGroupName() const
{
    QString candidate = defaultGroupBaseName;
    for (int n = 1;; ++n) {
        const bool taken = std::any_of(m_grouparr.cbegin(), m_grouparr.cend(),
                                       [&candidate](const Group &group) { return group.title() == candidate; });
        if (!taken)
            return candidate;
        candidate = defaultGroupBaseName + QString::number(n);
    }
}

int ManagerGroups::addGroup()
{
    // A change stored elsewhere since the last read must not be lost.
    const QString selected = selectedGroupTitle();
    m_grouparr = m_services.favorites.groups();
    followSelection(selected);
    m_services.favorites.createGroup(defaultGroupName());
    m_grouparr = m_services.favorites.groups();
    Q_EMIT groupsReset();
    selectGroup(int(m_grouparr.size()) - 1);
    return m_selectedRow;
}

ManagerGroups::Rename ManagerGroups::rename(int row, const QString &title)
{
    if (row < 0 || row >= m_grouparr.size())
        return Rename::ignored;
    const QString old = groupTitle(row);
    const FavoritesHistoryStep step(m_services.history, Text::renameGroupStep, QStringList{old, title});
    // A name of spaces only is no name.
    const bool blank = title.trimmed().isEmpty();
    if (old.isEmpty() && blank) {
        const QString selected = row == m_selectedRow ? QString() : selectedGroupTitle();
        m_grouparr.removeAt(row);
        storeGroups();
        showGroupsAgain(selected);
        m_services.viewLinks.requestQuickListReload();
        return Rename::removed;
    }
    if (title == old)
        return Rename::unchanged;
    if (blank)
        return Rename::restored;
    for (int other = 0; other < m_grouparr.size(); ++other) {
        if (other != row && groupTitle(other) == title)
            return Rename::duplicate;
    }
    const QString selected = row == m_selectedRow ? title : selectedGroupTitle();
    GroupLists(m_services.favorites, m_services.supportFiles).renameGroup(m_grouparr, row, title);
    Sorting::sortingGroups(m_services.favorites, m_grouparr, m_services.sortSettings);
    showGroupsAgain(selected);
    m_services.viewLinks.requestQuickListReload();
    return Rename::renamed;
}

void ManagerGroups::deleteGroup(int row)
{
    if (row < 0 || row >= m_grouparr.size())
        return;
    const QString selected = row == m_selectedRow ? QString() : selectedGroupTitle();
    const FavoritesHistoryStep step(m_services.history, Text::deleteGroupStep, QStringList{groupTitle(row)});
    GroupLists(m_services.favorites, m_services.supportFiles).deleteGroup(m_grouparr, row);
    if (selected.isNull())
        m_selectedRow = qMin(row, int(m_grouparr.size()) - 1);
    followSelection(selected);
    Q_EMIT groupsReset();
    selectGroup(m_selectedRow);
}

bool ManagerGroups::groupSharesItems(int row) const
{
    return GroupLists::sharesItems(m_grouparr, row);
}

void ManagerGroups::sortGroups()
{
    const QString selected = selectedGroupTitle();
    Sorting::sortingGroups(m_services.favorites, m_grouparr, m_services.sortSettings);
    followSelection(selected);
    Q_EMIT groupsReset();
    m_services.viewLinks.requestQuickListReload();
}

void ManagerGroups::changeColor(int row, const QColor &color)
{
    if (row < 0 || row >= m_grouparr.size() || !color.isValid())
        return;
    const FavoritesHistoryStep step(m_services.history, Text::changeColourStep, QStringList());
    m_grouparr[row].setColor(ColorText::fromColor(color));
    sortGroups();
}

void ManagerGroups::moveGroup(int from, int row)
{
    if (from < 0 || from >= m_grouparr.size() || row < 0 || row > m_grouparr.size())
        return;
    const FavoritesHistoryStep step(m_services.history, Text::reorderGroupsStep, QStringList());
    m_services.sortSettings.groupSortKey = SortSettings::GroupKey::none;
    const QString selected = selectedGroupTitle();
    const Group group = m_grouparr.at(from);
    if (row < from) {
        m_grouparr.removeAt(from);
        m_grouparr.insert(row, group);
    } else {
        m_grouparr.insert(row, group);
        m_grouparr.removeAt(from);
    }
    storeGroups();
    followSelection(selected);
    Q_EMIT groupsReset();
    m_services.viewLinks.requestQuickListReload();
}

void ManagerGroups::setGroupSortKey(SortSettings::GroupKey key)
{
    const FavoritesHistoryStep step(m_services.history, Text::sortStep, QStringList());
    m_services.sortSettings.groupSortKey = key;
    // "None" only stops sorting: the stored order stays as it is.
    if (key != SortSettings::GroupKey::none)
        sortGroups();
}

void ManagerGroups::setGroupSortAscending(bool ascending)
{
    const FavoritesHistoryStep step(m_services.history, Text::sortStep, QStringList());
    m_services.sortSettings.groupSortAscending = ascending;
    sortGroups();
}

void ManagerGroups::itemsChangedAt(int row)
{
    Q_EMIT groupChanged(row);
}
