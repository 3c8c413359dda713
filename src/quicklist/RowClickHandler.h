#pragma once

#include "quicklist/PopupAccessibility.h"
#include "quicklist/RowDelegate.h"

#include <QObject>
#include <QPointer>

class ColorTagPicker;
class GroupActions;
class ItemActions;
class QMenu;
class QPoint;
class QuickList;
class QuickListView;

// What a click on one of the popup's rows does, and the menus a row opens.
// A heading toggles its group, or asks for its add-item menu, or opens the
// colour-tag picker for its group; an item opens (then the popup is to
// close), copies its colour, or lists its folder in a menu; the right
// button opens the item's menu. The decisions are ItemActions' and
// GroupActions'; this carries them out on the screen.
class UndoActions;

class RowClickHandler final : public QObject
{
    Q_OBJECT

public:
    RowClickHandler(QuickListView &view, QuickList &quickList, ItemActions &itemActions, GroupActions &groupActions,
                    ColorTagPicker &picker, QObject *parent = nullptr);

    void rowClicked(int row, RowDelegate::Part part);
    // What a screen reader offers on row: a heading folds, adds an item and
    // changes its colour tag; an item opens, lists its folder, shows its
    // menu and carries out that menu's entries.
    QList<AccessibleRowAction> accessibleActions(int row);
    void showContextMenu(int row, const QPoint &globalPos);
    // Whether the folder menu lists a folder's contents (the setting, read
    // each time the popup opens).
    void setShowFolderContents(bool show) { m_showFolderContents = show; }
    // Undo and Redo for the end of the item menus; none: they are left off.
    void setUndoActions(const UndoActions *undoActions) { m_undoActions = undoActions; }

Q_SIGNALS:
    // Something was opened: the popup is to close.
    void opened();
    // The add button of the heading at row was clicked.
    void addItemClicked(int row);

private:
    void showCopiedTooltip(int row);
    // Says over the rows, or by the pointer once the popup has closed, what failed.
    void showFailure(const QString &text);
    // Entries that open something (in a submenu too) close the popup once
    // the menu has finished with them.
    void closeAfterOpening(QMenu *menu);
    void changegroupBoxColor(int row);
    void getSubitems(int row);
    // Lists folder (in the background) in a menu opened at the global point at.
    void showFolderContents(const QString &folder, const QPoint &at);
    bool opensFolderMenu(int row) const;
    // The menus' parent: the popup's window.
    QWidget *window() const;

    QuickListView &m_view;
    QuickList &m_quickList;
    ItemActions &m_itemActions;
    GroupActions &m_groupActions;
    ColorTagPicker &m_picker;
    const UndoActions *m_undoActions = nullptr;
    QPointer<QMenu> subItemsmenu;
    bool m_showFolderContents = false;
    bool menuisopend = false;
    int m_folderRequest = 0;
    int Rowforcolorchange = -1;
    int indexForColorChange = -1;
};
