#pragma once

#include "manager/ManagerServices.h"
#include "store/Item.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class DimmingLayer;
class UndoActions;
class GroupsDropTarget;
class ItemPanels;
class ItemsListView;
class ItemsModel;
class ManagerGroups;
class ManagerItems;
class PreviewWindow;
class QLineEdit;
class QStackedWidget;
class QToolButton;

// The manager page's right pane: the selected group's items under the search
// field, with the add, remove and sort buttons below them (or a box that
// invites adding the first item), the items' context menu and keys, and the
// preview. The add and edit panels are ItemPanels'.
class ItemsPane final : public QWidget
{
    Q_OBJECT

public:
    // endGroupEditing commits a group name being edited in the other pane
    // before an action here reads the groups.
    ItemsPane(ManagerGroups &groups, ManagerItems &items, GroupsDropTarget &drops, const ManagerServices &services,
              DimmingLayer &blackLayer, std::function<void()> endGroupEditing, QWidget *parent);

    ItemPanels &panels() const { return *m_panels; }
    QLineEdit *searchField() const { return searchtextfield; }
    void focusSearch();

public Q_SLOTS:
    void addItemClicked();
    void btnremoveItem();
    void btnsortItems();
    void menuitem_edit();
    void menuitem_Open();
    void menuitem_QuickLook();
    void PinItem();
    void alertforRemoveItem();
    void Items_doubleclicked();
    void scrolltoLastAddedItemWithUid(qint64 uid);

    // Undo and Redo for the end of the rows' menu; none: they are left off.
    void setUndoActions(const UndoActions *undoActions) { m_undoActions = undoActions; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildEmptyBox();
    void connectItems();
    void updateControls();
    void showItemsMenu(const QPoint &pos);
    void showAddMenu(QWidget *anchor);
    void editRow(int row);
    int selectedItemRow() const;
    void showCopiedTip(int row);
    // An alert over the window: what did not open, and why.
    void alertOpenFailure(const QString &text);

    ManagerGroups &m_groups;
    ManagerItems &m_items;
    ManagerServices m_services;
    DimmingLayer &m_blackLayer;
    const UndoActions *m_undoActions = nullptr;
    std::function<void()> m_endGroupEditing;
    ItemsModel *m_itemsModel = nullptr;
    ItemPanels *m_panels = nullptr;

    ItemsListView *tblviewItems = nullptr;
    QLineEdit *searchtextfield = nullptr;
    QStackedWidget *itemsStack = nullptr;
    QWidget *boxNoItem = nullptr;
    QToolButton *m_addItemButton = nullptr;
    QToolButton *m_removeItemButton = nullptr;
    QToolButton *m_sortItemsButton = nullptr;
    QPointer<PreviewWindow> m_previewWindow;
    // The search ended elsewhere (a group change) and the field is emptied.
    bool m_clearingSearch = false;
};
