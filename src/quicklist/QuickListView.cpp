#include "quicklist/QuickListView.h"

#include "quicklist/PopupAccessibility.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

QuickListView::QuickListView(QWidget *parent)
    : QListView(parent)
{
    setObjectName(QStringLiteral("tblview"));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void QuickListView::setRowDelegate(RowDelegate *delegate)
{
    m_delegate = delegate;
    setItemDelegate(delegate);
}

void QuickListView::setHoverEnabled(bool enabled)
{
    m_hoverEnabled = enabled;
    if (!enabled)
        setHoverRow(-1);
}

int QuickListView::hoverRow() const
{
    return m_delegate ? m_delegate->hoverRow() : -1;
}

void QuickListView::setHoverRow(int row)
{
    if (!m_delegate || row == m_delegate->hoverRow())
        return;
    const int previous = m_delegate->hoverRow();
    m_delegate->setHoverRow(row);
    if (model()) {
        if (previous >= 0 && previous < model()->rowCount())
            update(model()->index(previous, 0));
        if (row >= 0 && row < model()->rowCount())
            update(model()->index(row, 0));
    }
    Q_EMIT hoverRowChanged(row);
}

void QuickListView::highlightRow(int row)
{
    setHoverRow(row);
    if (row < 0 || !model() || row >= model()->rowCount())
        return;
    scrollTo(model()->index(row, 0));
    PopupAccessibility::announceCurrentRow(this, row);
}

int QuickListView::contentHeight() const
{
    return model() ? model()->rowCount() * RowDelegate::rowHeight : 0;
}

QRect QuickListView::globalPartRect(int row, RowDelegate::Part part) const
{
    if (!m_delegate || !model() || row < 0 || row >= model()->rowCount())
        return {};
    const QModelIndex index = model()->index(row, 0);
    const QRect rect = m_delegate->partRect(visualRect(index), index, part);
    return rect.isEmpty() ? QRect() : QRect(viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

void QuickListView::mousePressEvent(QMouseEvent *event)
{
    m_pressedRow = event->button() == Qt::LeftButton ? indexAt(event->position().toPoint()).row() : -1;
    event->accept();
}

void QuickListView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    const int pressed = m_pressedRow;
    m_pressedRow = -1;
    event->accept();
    if (event->button() != Qt::LeftButton || !index.isValid() || index.row() != pressed || !m_delegate)
        return;
    const RowDelegate::Part part = m_delegate->hitTest(visualRect(index), index, point);
    if (part != RowDelegate::Part::none)
        Q_EMIT rowClicked(index.row(), part);
}

void QuickListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click of a double click already opened the row: the second
    // one neither opens it again nor edits it.
    m_pressedRow = -1;
    event->accept();
}

void QuickListView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_hoverEnabled) {
        const int row = indexAt(event->position().toPoint()).row();
        const bool entered = row >= 0 && row != hoverRow();
        setHoverRow(row);
        if (entered)
            Q_EMIT pointerEnteredRow(row);
    }
    QListView::mouseMoveEvent(event);
}

void QuickListView::leaveEvent(QEvent *event)
{
    if (m_hoverEnabled)
        setHoverRow(-1);
    QListView::leaveEvent(event);
}

void QuickListView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    Q_EMIT contextMenuRequested(index.isValid() ? index.row() : -1, event->globalPos());
    event->accept();
}

void QuickListView::keyPressEvent(QKeyEvent *event)
{
    // The popup handles the keyboard (search, highlight, Return, Escape).
    event->ignore();
}
