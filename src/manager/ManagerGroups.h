#pragma once

#include "manager/ManagerServices.h"
#include "store/Group.h"
#include "store/Sorting.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

// The manager page's groups: its copy of the stored groups (grouparr), the
// selected one, and every change made to them from the page, each written
// to the store at once. The selected group's items are ManagerItems'.
class ManagerGroups final : public QObject
{
    Q_OBJECT

public:
    explicit ManagerGroups(const ManagerServices &services, QObject *parent = nullptr);

    const QList<Group> &grouparr() const { return m_grouparr; }
    int groupCount() const { return int(m_grouparr.size()); }
    // The selected row of the groups table, or -1.
    int selectedRow() const { return m_selectedRow; }
    QString selectedGroupTitle() const;
    QString groupTitle(int row) const;
    // The number of items stored under the group at row.
    int itemCount(int row) const;

    // Reads "allgroups" again. The selection follows the selected group by
    // its title when it still exists, else stays at its row, and its items
    // are read again, so that changes made elsewhere show here.
    void loadGroups();
    // Selects the group at row (-1: none): its items are read and sorted
    // (their order stored when it changed), and the popup is rebuilt.
    void selectGroup(int row);

    // "Group", else Group1, Group2, ...: the first name no group has.
    QString defaultGroupName() const;
    // Appends a new group with the default name (FavoritesStore::createGroup),
    // whatever the group sort, and selects it; its row.
    int addGroup();

    enum class Rename { ignored, removed, unchanged, restored, duplicate, renamed };
    // The rename of the group at row to title, typed in its name field.
    Rename rename(int row, const QString &title);
    // Deletes the group at row with its items and their support files; the
    // items stay while another group has the same title and shows them.
    void deleteGroup(int row);
    // Whether another group has the title of the group at row, and so
    // shows the same items.
    bool groupSharesItems(int row) const;
    void changeColor(int row, const QColor &color);
    // The groups reorder: the group at from lands above the group at row.
    // A manual order ends any group sort.
    void moveGroup(int from, int row);

    // The group sort menu's choices.
    void setGroupSortKey(SortSettings::GroupKey key);
    void setGroupSortAscending(bool ascending);

    // The items stored under the group at row changed: its row (its count)
    // is drawn again.
    void itemsChangedAt(int row);

Q_SIGNALS:
    // The group list changed as a whole; the selection is selectedRow().
    void groupsReset();
    // One group's row (its name, colour or count) changed.
    void groupChanged(int row);
    // The selected group is now the one at row (-1: none); its items are
    // to be read and sorted.
    void selectionMoved(int row);
    // The groups were read again (or a rename changed them): the selected
    // group's items are to be read again, a running search kept.
    void groupsReloaded();

private:
    void storeGroups();
    void followSelection(const QString &title);
    // After the group list changed: the group called selected (else the
    // nearest row) is selected again and both lists are read anew.
    void showGroupsAgain(const QString &selected);
    void sortGroups();

    ManagerServices m_services;
    QList<Group> m_grouparr;
    int m_selectedRow = -1;
};
