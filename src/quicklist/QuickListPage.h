#pragma once

#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/PopupDropTarget.h"
#include "quicklist/PopupKeys.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListServices.h"
#include "store/Group.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class AddGroupBox;
class QKeyEvent;
class QLabel;
class QuickListModel;
class QuickListToolbar;
class QuickListView;
class RowClickHandler;

// The four entries of a group heading's add-item menu.
enum class AddItemKind { fileFolders, webBookmark, textSnippet, colorSwitch };

// The popup's list page: the toolbar (QuickListToolbar: search, new group,
// sort, settings), the quick-access rows of every group and its items (the search results
// while a search runs), an invitation to create the first group while
// there is none, and the inline boxes laid over it; and the popup's
// keyboard, decided by PopupKeys.
//
// Building it loads the list: the rows are built, every group's items are
// sorted, and ViewLinks::popoverListLoaded is set.
class QuickListPage final : public QWidget
{
    Q_OBJECT

public:
    explicit QuickListPage(const QuickListServices &services, QWidget *parent = nullptr);
    ~QuickListPage() override;

    const QuickListServices &services() const { return m_services; }
    const QuickList &quickList() const { return m_quickList; }
    // The group whose add-item menu was opened last: where new items go.
    QString currentGroupName() const { return m_currentGroupName; }
    // The popup's copy of the group list, as of the last rebuild.
    const QList<Group> &grouparr() const { return m_quickList.grouparr(); }

    // Inline boxes (group creation, the item boxes): box is laid over the
    // page, covering it, until closeInlineBox(). The page takes ownership of
    // box; closing hides it and keeps it for reuse.
    void showInlineBox(QWidget *box);
    void closeInlineBox();
    bool subViewAdded() const { return m_subViewAdded; }

    // What an entry of the add-item menu does. An entry without a handler is
    // shown disabled.
    void setAddItemHandler(AddItemKind kind, std::function<void()> handler);

    // What files and web addresses dropped on the rows do: they are added
    // to the group they were dropped on. Without a handler drops are refused.
    void setDropHandler(PopupDropTarget::Handler handler);

    // The popup is about to show: settings are read again, the keyboard
    // goes where typing goes (the search field while it is open).
    void aboutToShow();
    void focusTyping();
    // Shows the search field holding text, and the items it finds.
    void searchFor(const QString &text);
    // The popup hid: no row stays highlighted, and a search ends (the
    // next popup starts on the groups).
    void hidden();
    // Carries out what PopupKeys decides for a key the popup's window
    // received; true when the key was the popup's. tasksShown: the task tab
    // is showing instead of this page.
    bool windowKeyPressed(QKeyEvent *event, bool tasksShown);

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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

Q_SIGNALS:
    // Something was opened, or Escape was pressed: the popup is to close.
    void closeRequested();
    // The popup is to show this page rather than the tasks, as the search
    // or a box opens.
    void listTabRequested();
    // The settings menu: open the manager window on its groups page, on the
    // preferences page, or quit the application.
    void manageShortcutRequested();
    void showPreferencesRequested();
    void quitRequested();

private:
    void buildEmptyState();
    void connectToolbar();
    void updateEmptyState();

    void btnsearchclicked();
    void searchTextChanged(const QString &text);
    void searchFieldDidEndSearching();
    PopupKeys::State keyState(bool tasksShown, bool inSearchField) const;
    // inSearchField: the search field has the key (and takes text).
    bool handleKey(QKeyEvent *event, bool tasksShown, bool inSearchField);
    void moveFocus(bool forward);
    void addItemClicked(int row);
    void runAddHandler(AddItemKind kind) const;

    void btncreateGroup();
    void btnadd_boxaddGroup();

    QuickListServices m_services;
    QuickList m_quickList;
    ItemActions m_itemActions;
    GroupActions m_groupActions;

    QuickListModel *m_model = nullptr;
    QuickListView *tableView = nullptr;
    RowClickHandler *m_rows = nullptr;
    PopupDropTarget *m_drops = nullptr;
    QuickListToolbar *m_toolbar = nullptr;
    QWidget *m_emptyState = nullptr;
    QLabel *m_noResults = nullptr;
    AddGroupBox *boxAddGroup = nullptr;
    QPointer<QWidget> m_inlineBox;

    QString m_currentGroupName;
    bool m_subViewAdded = false;
    std::array<std::function<void()>, 4> m_addHandlers;
};
