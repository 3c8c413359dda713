#pragma once

#include "manager/ManagerServices.h"
#include "store/Item.h"
#include "store/Sorting.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ManagerGroups;

// The items of the group selected on the manager page (selectedGroupItems),
// the search over them (managerSearchResults), and every change made to
// them from the page, each written to the store at once. Follows the
// selection of ManagerGroups.
class ManagerItems final : public QObject
{
    Q_OBJECT

public:
    ManagerItems(const ManagerServices &services, ManagerGroups &groups, QObject *parent = nullptr);

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
    // failed runs, perhaps later, when no file manager could show it.
    void revealItem(int row, const std::function<void()> &failed = {});
    // The file a file item names, for the preview and for dragging it out.
    static std::optional<QString> filePathOf(const Item &item);

    // Adds a file item per path to the selected group, in order, then sorts
    // and stores it; the uid of the last one.
    std::optional<qint64> addDroppedFiles(const QStringList &paths);
    // Moves the item shown at itemRow to the end of the group at groupRow.
    bool moveItemToGroup(int itemRow, int groupRow);
    // The selected group's items were changed in the store (by the item
    // panels): read, sort and show them again; uid is the row to select.
    void selectedItemsStored(std::optional<qint64> uid);

    // The item sort menu's choices.
    void setItemSortKey(SortSettings::ItemKey key);
    void setItemSortAscending(bool ascending);

Q_SIGNALS:
    // The shown items changed as a whole.
    void itemsReset();
    // The item with this uid is to be selected and scrolled to.
    void itemToReveal(qint64 uid);
    // The search ended without the search field: it is to be emptied.
    void searchEnded();

private:
    // Another group is selected: the search ends, its items are sorted.
    void showSelectedGroup();
    // The groups were read again: so are the items, the search kept.
    void readSelectedItems();
    void storeSelectedItems();
    void refilter();
    void afterItemsChanged(std::optional<qint64> uid = std::nullopt);
    // Reads the selected group's items sorted, storing their order when it
    // changed.
    void sortSelectedItems();

    ManagerServices m_services;
    ManagerGroups &m_groups;
    QList<Item> m_selectedGroupItems;
    QList<Item> m_managerSearchResults;
    bool m_searchBegin = false;
    QString m_searchText;
};
