#include "manager/GroupsListView.h"

#include "manager/GroupRowDelegate.h"
#include "manager/GroupsDropTarget.h"
#include "manager/RowAccessibility.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

GroupsListView::GroupsListView(GroupsDropTarget &drops, QWidget *parent)
    : ManagerListView(parent)
    , m_drops(drops)
    , m_delegate(new GroupRowDelegate(this))
{
    setObjectName(QStringLiteral("tblviewgroup"));
    setItemDelegate(m_delegate);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The row's painted swatch and its name field, for screen readers.
    RowAccessibility::install(this, [this](int row) {
        return QList<AccessibleRowAction>{
            {LocalizedText(Text::changeColourTag), GroupRowDelegate::colorTagKeys(),
             [this, row] { openColorTag(row); }},
            {LocalizedText(Text::renameGroup), QKeySequence(Qt::Key_F2),
             [this, row] {
                 setCurrentIndex(model()->index(row, 0));
                 setFocus(Qt::OtherFocusReason);
                 makeLabelStartEditing();
             }},
        };
    });
}

void GroupsListView::openColorTag(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    endEditing();
    const QModelIndex index = model()->index(row, 0);
    scrollTo(index);
    emitColorClicked(index);
}

void GroupsListView::emitColorClicked(const QModelIndex &index)
{
    setCurrentIndex(index);
    const QRect swatch = GroupRowDelegate::partRect(visualRect(index), GroupRowDelegate::Part::color);
    Q_EMIT colorClicked(index.row(), QRect(viewport()->mapToGlobal(swatch.topLeft()), swatch.size()));
}

void GroupsListView::keyPressEvent(QKeyEvent *event)
{
    if (!isEditing() && QKeySequence(event->keyCombination()) == GroupRowDelegate::colorTagKeys()) {
        openColorTag(currentIndex().row());
        event->accept();
        return;
    }
    ManagerListView::keyPressEvent(event);
}

void GroupsListView::endEditing()
{
    if (QLineEdit *editor = m_delegate->editor(); editor && state() == QAbstractItemView::EditingState) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GroupsListView::makeLabelStartEditing()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    scrollTo(current);
    edit(current);
}

void GroupsListView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        const QRect swatch = GroupRowDelegate::partRect(visualRect(index), GroupRowDelegate::Part::color);
        if (swatch.adjusted(-3, -3, 3, 3).contains(event->position().toPoint())) {
            emitColorClicked(index);
            return;
        }
    }
    ManagerListView::mousePressEvent(event);
}

void GroupsListView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    m_drops.beginDrag(GroupsDropTarget::Drag::group, index.row());
    auto *drag = new QDrag(this);
    drag->setMimeData(rowDragData(index.row()));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    m_drops.endDrag();
    setIndicator({});
}

GroupsListView::DropTarget GroupsListView::dropTargetAt(const QPoint &pos) const
{
    const int count = model() ? model()->rowCount() : 0;
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return {count, false};
    const QRect rect = visualRect(index);
    const int edge = rect.height() / 4;
    if (pos.y() < rect.top() + edge)
        return {index.row(), false};
    if (pos.y() >= rect.bottom() - edge)
        return {index.row() + 1, false};
    return {index.row(), true};
}

void GroupsListView::setIndicator(const DropTarget &target)
{
    if (target.row == m_indicator.row && target.onRow == m_indicator.onRow)
        return;
    m_indicator = target;
    viewport()->update();
}

void GroupsListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_drops.drag() != GroupsDropTarget::Drag::none || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupsListView::dragMoveEvent(QDragMoveEvent *event)
{
    DropTarget target = dropTargetAt(event->position().toPoint());
    // Groups go between rows, everything else onto a row: the edges of a
    // row count as the row itself for those.
    if (m_drops.drag() != GroupsDropTarget::Drag::group) {
        const QModelIndex index = indexAt(event->position().toPoint());
        target = {index.isValid() ? index.row() : -1, true};
    }
    if (m_drops.validateDrop(target.row, target.onRow, event->mimeData())) {
        setIndicator(target);
        event->acceptProposedAction();
    } else {
        setIndicator({});
        event->ignore();
    }
}

void GroupsListView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setIndicator({});
    ManagerListView::dragLeaveEvent(event);
}

void GroupsListView::dropEvent(QDropEvent *event)
{
    const DropTarget target = m_indicator;
    setIndicator({});
    if (m_drops.acceptDrop(target.row, target.onRow, event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupsListView::paintEvent(QPaintEvent *event)
{
    ManagerListView::paintEvent(event);
    if (m_indicator.row < 0 || !model())
        return;
    QPainter painter(viewport());
    const QColor highlight = palette().color(QPalette::Highlight);
    painter.setPen(QPen(highlight, 2));
    const int count = model()->rowCount();
    if (m_indicator.onRow) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(visualRect(model()->index(m_indicator.row, 0)).adjusted(2, 2, -2, -2), 4, 4);
        return;
    }
    int y = 0;
    if (m_indicator.row < count)
        y = visualRect(model()->index(m_indicator.row, 0)).top();
    else if (count > 0)
        y = visualRect(model()->index(count - 1, 0)).bottom() + 1;
    painter.drawLine(4, y, viewport()->width() - 4, y);
}
