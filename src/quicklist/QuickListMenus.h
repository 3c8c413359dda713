#pragma once

#include "quicklist/ItemActions.h"

#include <QStringList>

#include <array>
#include <functional>

class GroupActions;
class QMenu;
class QWidget;
struct SortSettings;

// The popup's menus, built anew each time one opens. Each returned menu is
// deleted when it closes.
namespace QuickListMenus {

// The property that marks entries which open a file, folder, application
// or address.
inline constexpr char opensSomething[] = "opensSomething";

// The item context menu (tblmenu) for what ItemActions found at the row:
// open with, show the note's file, copy the colour, remove, pin or unpin.
// afterCopy runs when the colour code was copied. With showContents (a
// folder's item), the menu first offers the folder's contents.
QMenu *itemContextMenu(const ItemActions::ContextMenu &entries, ItemActions &actions,
                       const std::function<void()> &afterChange, const std::function<void()> &afterCopy,
                       QWidget *parent, const std::function<void()> &showContents = {});

// The folder-contents menu (subItemsmenu) of a listing, whose paths the
// actions hold as patharr; a cut-short listing ends with an entry that
// opens the folder itself.
QMenu *folderContentsMenu(const ItemActions::FolderListing &listing, ItemActions &actions, QWidget *parent);

// The sort menu: the group and the item submenus with check marks on the
// current choices.
QMenu *sortMenu(const SortSettings &settings, GroupActions &actions, const std::function<void()> &afterChange,
                QWidget *parent);

// The settings menu: manage favourites, preferences, quit.
QMenu *settingsMenu(const std::function<void()> &manageShortcut, const std::function<void()> &showPreferences,
                    const std::function<void()> &quitapp, QWidget *parent);

// The add-item menu (itemmenu): files and folders, web bookmark, text note,
// colour. An entry without an action is disabled.
QMenu *addItemMenu(const std::array<std::function<void()>, 4> &entries, QWidget *parent);

} // namespace QuickListMenus
