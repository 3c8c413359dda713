#pragma once

class ManagerGroups;
class ManagerItems;
class QMenu;
class QWidget;
struct SortSettings;

// The manager's two sort menus, built anew each time one opens, with check
// marks on the current choices of the sort settings the popup shares.
// Each menu is deleted when it closes.
namespace ManagerSortMenus {

// By colour, by name, unsorted; ascending, descending.
QMenu *groupSortMenu(ManagerGroups &groups, const SortSettings &settings, QWidget *parent);
// By date added, by name; ascending, descending.
QMenu *itemSortMenu(ManagerItems &items, const SortSettings &settings, QWidget *parent);

} // namespace ManagerSortMenus
