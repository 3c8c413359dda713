#pragma once

#include "platform/DesktopServices.h"
#include "platform/PopupWindowStyle.h"
#include "store/Group.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class FavoritesStore;
class PreferencesStore;
class SupportFiles;
class ViewLinks;
struct SortSettings;
class SelectTagVc;

// What the popup works with. Every member is owned by the application and
// outlives the popup.
struct QuickListServices
{
    FavoritesStore &favorites;
    // The task list and the folder menu's setting live here.
    PreferencesStore &preferences;
    SortSettings &sortSettings;
    SupportFiles &supportFiles;
    ViewLinks &viewLinks;
    DesktopServices desktop;
    // The process's one colour-tag picker, shared with the manager window.
    SelectTagVc &selectTagvc;
};

// The four entries of a group heading's add-item menu.
enum class AddItemKind { fileFolders, webBookmark, textSnippet, colorSwitch };

// The popup opened from the tray icon: the quick-access list of every group
// and its items, search, item actions, group creation and the task list.
// In the grabbing style, a frameless Qt::Popup window under the tray icon
// that the desktop closes on a click elsewhere; in the compositor-placed
// style, an undecorated window the compositor places, closed when it loses
// activation. Either closes on Escape and once an item is opened.
//
// Created once per process. Building it loads its view: the rows are built,
// every group's items are sorted, and ViewLinks::popoverListLoaded is set.
class ViewController final : public QWidget
{
    Q_OBJECT

public:
    explicit ViewController(const QuickListServices &services, PopupWindowStyle style = PopupWindowStyle::grabbing,
                            QWidget *parent = nullptr);
    ~ViewController() override;

    // The tray icon's action: closes the popup when it is shown, else shows
    // it under trayIconGeometry (at the cursor when that is empty; where the
    // compositor places it, the geometry goes unused).
    void togglePopover(const QRect &trayIconGeometry);
    // Shows the popup (never closes it): the global shortcut's action.
    void showPopover(const QRect &trayIconGeometry);
    void closePopover();
    bool isPopoverShown() const;
    PopupWindowStyle windowStyle() const;

    const QuickListServices &services() const;
    // The group whose add-item menu was opened last: where new items go.
    QString currentGroupName() const;
    // The popup's copy of the group list, as of the last rebuild.
    const QList<Group> &grouparr() const;

    // Inline boxes (group creation, the item boxes): box is laid over the
    // popup's list page, covering it, until closeInlineBox(). The popup
    // takes ownership of box; closing hides it and keeps it for reuse.
    void showInlineBox(QWidget *box);
    void closeInlineBox();
    bool subViewAdded() const;

    // What an entry of the add-item menu does. An entry without a handler is
    // shown disabled.
    void setAddItemHandler(AddItemKind kind, std::function<void()> handler);

public Q_SLOTS:
    // Rebuilds the rows from the store (and the search results while a
    // search is running).
    void reloadQuickList();
    // Rebuilds after an item was added to groupTitle, expanding that group
    // so that the new item shows.
    void showAddedItem(const QString &groupTitle);

    // The add-item menu's entries, acting on currentGroupName().
    void AddFileFolders();
    void AddWebBookmark();
    void AddTextSnnipet();
    void AddColorSwitch();

Q_SIGNALS:
    // The settings menu: open the manager window on its groups page, on the
    // preferences page, or quit the application.
    void manageShortcutRequested();
    void showPreferencesRequested();
    void quitRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class Private;
    std::unique_ptr<Private> d;
};
