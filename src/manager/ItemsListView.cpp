#include "manager/ItemsListView.h"

#include "manager/GroupsDropTarget.h"
#include "manager/ItemRowDelegate.h"
#include "manager/ManagerItems.h"
#include "manager/RowAccessibility.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

ItemsListView::ItemsListView(ManagerItems &items, GroupsDropTarget &drops, QWidget *parent)
    : ManagerListView(parent)
    , m_items(items)
    , m_drops(drops)
{
    setObjectName(QStringLiteral("tblviewItems"));
    setItemDelegate(new ItemRowDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // The row's painted edit button, for screen readers.
    RowAccessibility::install(this, [this](int row) {
        return QList<AccessibleRowAction>{
            {LocalizedText(Text::edit), QKeySequence(Qt::Key_F2), [this, row] { clickEdit(row); }}};
    });
}

void ItemsListView::clickEdit(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    setCurrentIndex(model()->index(row, 0));
    Q_EMIT editClicked(row);
}

void ItemsListView::setEmptyText(const QString &text)
{
    if (text == m_emptyText)
        return;
    m_emptyText = text;
    setAccessibleDescription(text);
    viewport()->update();
}

void ItemsListView::paintEvent(QPaintEvent *event)
{
    ManagerListView::paintEvent(event);
    if (m_emptyText.isEmpty() || (model() && model()->rowCount() > 0))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}

int ItemsListView::selectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ItemsListView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()
        && ItemRowDelegate::partRect(visualRect(index), ItemRowDelegate::Part::edit)
               .contains(event->position().toPoint())) {
        clickEdit(index.row());
        return;
    }
    ManagerListView::mousePressEvent(event);
}

QMimeData *ItemsListView::dragData(const Item &item, int row, Qt::DropActions *actions)
{
    QMimeData *data = rowDragData(row);
    // A file item leaves as its file; copying and linking are offered, never
    // moving, so that a file manager cannot take the user's file away.
    Qt::DropActions offered = Qt::CopyAction;
    if (const auto path = ManagerItems::filePathOf(item)) {
        data->setUrls({QUrl::fromLocalFile(*path)});
        offered |= Qt::LinkAction;
    }
    if (actions)
        *actions = offered;
    return data;
}

void ItemsListView::startDrag(Qt::DropActions)
{
    const int row = selectedRow();
    const auto item = m_items.shownItem(row);
    if (!item)
        return;
    m_drops.beginDrag(GroupsDropTarget::Drag::item, row);
    Qt::DropActions actions;
    auto *drag = new QDrag(this);
    drag->setMimeData(dragData(*item, row, &actions));
    const QIcon icon = model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        drag->setPixmap(icon.pixmap(32, 32));
    drag->exec(actions, Qt::CopyAction);
    m_drops.endDrag();
}
