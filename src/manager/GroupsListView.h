#pragma once

#include "manager/ManagerListView.h"

class GroupRowDelegate;
class GroupsDropTarget;

// The groups table (tblviewgroup): the manager page's one drop target. A
// group row dragged between rows reorders the groups, an item row or files
// dropped on a group row go into that group.
class GroupsListView final : public ManagerListView
{
    Q_OBJECT

public:
    explicit GroupsListView(GroupsDropTarget &drops, QWidget *parent = nullptr);

    GroupRowDelegate *rowDelegate() const { return m_delegate; }
    // Opens the colour tag picker for row from the keyboard or a screen
    // reader: selects the row, brings it into view and anchors the picker at
    // its swatch, as a click on the swatch does.
    void openColorTag(int row);
    // Commits a name being edited, as leaving the field would.
    void endEditing();
    // Starts editing the selected row's name (makeLabelStartEditing).
    void makeLabelStartEditing();
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // Where a drop at pos goes: the row and whether it is on the row (else
    // above it, between rows).
    struct DropTarget
    {
        int row = -1;
        bool onRow = false;
    };
    DropTarget dropTargetAt(const QPoint &pos) const;

Q_SIGNALS:
    // The colour swatch of row was clicked; anchor in global coordinates.
    void colorClicked(int row, const QRect &anchor);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setIndicator(const DropTarget &target);
    void emitColorClicked(const QModelIndex &index);

    GroupsDropTarget &m_drops;
    GroupRowDelegate *m_delegate = nullptr;
    DropTarget m_indicator;
};
