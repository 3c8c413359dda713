#pragma once

#include "manager/ManagerServices.h"
#include "store/Sorting.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;

// What the manager page decides: its copy of the groups (grouparr), the
// selected group and its items (selectedGroupItems), the search over them
// (managerSearchResults), and every change made from the page, each written
// to the store at once. The page's widgets only show this and forward.
class ManagerController final : public QObject
{
    Q_OBJECT

public:
    explicit ManagerController(const ManagerServices &services, QObject *parent = nullptr);

    const ManagerServices &services() const { return m_services; }

    // Groups.
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
    // Selects the group at row (-1: none): ends the search, reads its items
    // and sorts them (storing their order when it changed), and rebuilds
    // the popup.
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

    // Items of the selected group.
    const QList<Item> &selectedGroupItems() const { return m_selectedGroupItems; }
    // The list the items table shows: the search results while searching.
    const QList<Item> &shownItems() const;
    std::optional<Item> shownItem(int row) const;
    // Where the record shown at row is in selectedGroupItems (by uid while
    // searching); -1 when nowhere.
    int indexInSelectedItems(int row) const;
    int shownRowOfUid(qint64 uid) const;

    bool searchBegin() const { return m_searchBegin; }
    const QList<Item> &managerSearchResults() const { return m_managerSearchResults; }
    // Searches the selected group for text by the manager's search rule
    // (ManagerSearch); empty text ends the search.
    void search(const QString &text);
    void SearchStop();

    void PinItem(int row);
    void removeItem(int row);
    enum class Open { nothing, opened, openFailed, copiedColor, missing };
    // The double click: opens what the item links to (Item::link), copies
    // a colour. A file or note whose file is gone is not handed to the
    // desktop (which would fail without a word): missing.
    Open openItem(int row);
    // Shows a file item's file in the file manager.
    void revealItem(int row);
    // The file a file item names, for the preview and for dragging it out.
    static std::optional<QString> filePathOf(const Item &item);

    // Adds a file item per path to the selected group, in order, then sorts
    // and stores it; the uid of the last one.
    std::optional<qint64> addDroppedFiles(const QStringList &paths);
    // The selected group's items were changed in the store (by the item
    // panels): read, sort and show them again; uid is the row to select.
    void selectedItemsStored(std::optional<qint64> uid);

    // Drag and drop onto the groups table.
    enum class Drag { none, group, item };
    void beginDrag(Drag drag, int draggedIndex);
    void endDrag() { m_drag = Drag::none; }
    Drag drag() const { return m_drag; }
    int draggedIndex() const { return m_draggedIndex; }
    // Whether a drop on row (onRow) or above it (between rows) is taken.
    bool validateDrop(int row, bool onRow, const QMimeData *data) const;
    // Performs the drop; false when nothing changed.
    bool acceptDrop(int row, bool onRow, const QMimeData *data);
    // The groups reorder: the group at from lands above the group at row.
    void moveGroup(int from, int row);
    // Moves the item shown at itemRow to the end of the group at groupRow.
    bool moveItemToGroup(int itemRow, int groupRow);

    // The two sort menus.
    void setGroupSortKey(SortSettings::GroupKey key);
    void setGroupSortAscending(bool ascending);
    void setItemSortKey(SortSettings::ItemKey key);
    void setItemSortAscending(bool ascending);

Q_SIGNALS:
    // The group list changed as a whole; the selection is selectedRow().
    void groupsReset();
    // One group's row (its name, colour or count) changed.
    void groupChanged(int row);
    // The shown items changed as a whole.
    void itemsReset();
    // The item with this uid is to be selected and scrolled to.
    void itemToReveal(qint64 uid);
    // The selected group is now the one at row (-1: none).
    void selectionMoved(int row);
    // The search ended without the search field: it is to be emptied.
    void searchEnded();

private:
    void storeGroups();
    void storeSelectedItems();
    void refilter();
    void afterItemsChanged(std::optional<qint64> uid = std::nullopt);
    void readSelectedItems();
    // Reads the selected group's items sorted, storing their order when it
    // changed.
    void sortSelectedItems();
    void followSelection(const QString &title);
    // After the group list changed: the group called selected (else the
    // nearest row) is selected again and both lists are read anew.
    void showGroupsAgain(const QString &selected);
    void sortGroups();

    ManagerServices m_services;
    QList<Group> m_grouparr;
    int m_selectedRow = -1;
    QList<Item> m_selectedGroupItems;
    QList<Item> m_managerSearchResults;
    bool m_searchBegin = false;
    QString m_searchText;
    Drag m_drag = Drag::none;
    int m_draggedIndex = 0;
};
