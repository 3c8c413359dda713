#pragma once

class ManagerController;
class QMenu;
class QWidget;

// The manager's two sort menus, built anew each time one opens, with check
// marks on the current choices of the sort settings the popup shares.
// Each menu is deleted when it closes.
namespace ManagerSortMenus {

// By colour, by name, unsorted; ascending, descending.
QMenu *groupSortMenu(ManagerController &controller, QWidget *parent);
// By date added, by name; ascending, descending.
QMenu *itemSortMenu(ManagerController &controller, QWidget *parent);

} // namespace ManagerSortMenus
