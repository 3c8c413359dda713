#pragma once

#include <QListView>

class GroupRowDelegate;
class Item;
class ItemRowDelegate;
class ManagerController;
class QMimeData;

// The internal row drag's type on the drag's data.
inline constexpr QLatin1String tableViewDragType("MoveRowsType");

// The groups table (tblviewgroup): the manager page's one drop target. A
// group row dragged between rows reorders the groups, an item row or files
// dropped on a group row go into that group.
class GroupsTableView final : public QListView
{
    Q_OBJECT

public:
    explicit GroupsTableView(ManagerController &controller, QWidget *parent = nullptr);

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

    ManagerController &m_controller;
    GroupRowDelegate *m_delegate = nullptr;
    DropTarget m_indicator;
};

// The items table (tblviewItems): its rows drag onto group rows, and file
// items drag out to file managers and other applications as files.
class ItemsTableView final : public QListView
{
    Q_OBJECT

public:
    explicit ItemsTableView(ManagerController &controller, QWidget *parent = nullptr);

    int selectedRow() const;
    // What a click on row's edit button does: selects the row and asks to
    // edit its item.
    void clickEdit(int row);

    // Shown in the middle of the list while it has no rows (a search that
    // found nothing); empty for none.
    void setEmptyText(const QString &text);
    QString emptyText() const { return m_emptyText; }

    // What dragging the item shown at row carries: the internal row type,
    // and for a file item its file as a URI list. The actions offered.
    static QMimeData *dragData(const Item &item, int row, Qt::DropActions *actions = nullptr);

Q_SIGNALS:
    void editClicked(int row);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ManagerController &m_controller;
    QString m_emptyText;
};
