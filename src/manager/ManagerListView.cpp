#include "manager/ManagerListView.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>

ManagerListView::ManagerListView(QWidget *parent)
    : QListView(parent)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setMouseTracking(true);
}

void ManagerListView::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    if (!currentIndex().isValid() && model() && model()->rowCount() > 0)
        setCurrentIndex(model()->index(0, 0));
    selectCurrentRow();
}

void ManagerListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier && state() != EditingState) {
        const QModelIndex current = currentIndex();
        const QPoint at = current.isValid() ? visualRect(current).center() : QPoint(0, 0);
        Q_EMIT customContextMenuRequested(at);
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ManagerListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    selectCurrentRow();
}

void ManagerListView::selectCurrentRow()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel() && !selectionModel()->isSelected(current))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QMimeData *ManagerListView::rowDragData(int row)
{
    auto *data = new QMimeData;
    data->setData(tableViewDragType, QByteArray::number(row));
    return data;
}
