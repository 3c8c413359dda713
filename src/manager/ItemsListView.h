#pragma once

#include "manager/ManagerListView.h"

class GroupsDropTarget;
class Item;
class ManagerItems;

// The items table (tblviewItems): its rows drag onto group rows, and file
// items drag out to file managers and other applications as files.
class ItemsListView final : public ManagerListView
{
    Q_OBJECT

public:
    ItemsListView(ManagerItems &items, GroupsDropTarget &drops, QWidget *parent = nullptr);

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
    ManagerItems &m_items;
    GroupsDropTarget &m_drops;
    QString m_emptyText;
};
