#include "manager/ManagerListView.h"

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

QMimeData *ManagerListView::rowDragData(int row)
{
    auto *data = new QMimeData;
    data->setData(tableViewDragType, QByteArray::number(row));
    return data;
}
