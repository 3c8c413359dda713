#pragma once

#include "manager/ManagerServices.h"

#include <QPointer>
#include <QWidget>

class DimmingLayer;
class UndoActions;
class GroupsDropTarget;
class GroupsListView;
class GroupsModel;
class ManagerGroups;
class QMessageBox;
class QToolButton;

// The manager page's left pane: the groups list under its heading, with the
// add, remove and sort buttons below it, the groups' context menu, renaming
// in the row and the colour tag picker.
class GroupsPane final : public QWidget
{
    Q_OBJECT

public:
    GroupsPane(ManagerGroups &groups, GroupsDropTarget &drops, const ManagerServices &services,
               DimmingLayer &blackLayer, QWidget *parent);

    // Commits a group name being edited, rename included.
    void endEditing();
    // Ctrl+T anywhere on the page: the selected group's colour tag picker.
    void openSelectedColorTag();

public Q_SLOTS:
    void btnaddgroup();
    void removeSelectedGroup();
    void makeLabelStartEditing();
    void alertforSamegroup();
    void alertforDeletegroup();
    void btnsortGroups();

    // Undo and Redo for the end of the rows' menu; none: they are left off.
    void setUndoActions(const UndoActions *undoActions) { m_undoActions = undoActions; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectGroups();
    void updateControls();
    void syncGroupSelection();
    void showGroupsMenu(const QPoint &pos);
    void changegroupBoxColor(int row, const QRect &anchor);

    ManagerGroups &m_groups;
    ManagerServices m_services;
    DimmingLayer &m_blackLayer;
    const UndoActions *m_undoActions = nullptr;
    GroupsModel *m_groupsModel = nullptr;
    bool m_syncingSelection = false;
    int Rowforcolorchange = -1;
    // The title of the group at Rowforcolorchange when the picker opened.
    QString m_colorGroupTitle;

    GroupsListView *tblviewgroup = nullptr;
    QToolButton *m_addGroupButton = nullptr;
    QToolButton *m_removeGroupButton = nullptr;
    QToolButton *m_sortGroupsButton = nullptr;
    QPointer<QMessageBox> m_sameGroupAlert;
};
