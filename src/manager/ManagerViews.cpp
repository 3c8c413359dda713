#include "manager/ManagerViews.h"

#include "manager/ManagerController.h"
#include "manager/ManagerDelegates.h"
#include "manager/RowAccessibility.h"

#include "store/LocalizedText.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace {

QMimeData *rowDragData(int row)
{
    auto *data = new QMimeData;
    data->setData(tableViewDragType, QByteArray::number(row));
    return data;
}

// The list views' common setup: one column of painted rows of equal height.
void setUpRows(QListView *view)
{
    view->setUniformItemSizes(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setMouseTracking(true);
}

} // namespace

GroupsTableView::GroupsTableView(ManagerController &controller, QWidget *parent)
    : QListView(parent)
    , m_controller(controller)
    , m_delegate(new GroupRowDelegate(this))
{
    setObjectName(QStringLiteral("tblviewgroup"));
    setItemDelegate(m_delegate);
    setUpRows(this);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The row's painted swatch and its name field, for screen readers.
    RowAccessibility::install(this, [this] {
        return QList<RowAction>{
            {LocalizedText("IDS_BR_377"), GroupRowDelegate::colorTagKeys(), [this](int row) { openColorTag(row); }},
            {LocalizedText("IDS_BR_62"), QKeySequence(Qt::Key_F2),
             [this](int row) {
                 setCurrentIndex(model()->index(row, 0));
                 setFocus(Qt::OtherFocusReason);
                 makeLabelStartEditing();
             }},
        };
    });
}

void GroupsTableView::openColorTag(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    endEditing();
    const QModelIndex index = model()->index(row, 0);
    scrollTo(index);
    emitColorClicked(index);
}

void GroupsTableView::emitColorClicked(const QModelIndex &index)
{
    setCurrentIndex(index);
    const QRect swatch = GroupRowDelegate::partRect(visualRect(index), GroupRowDelegate::Part::color);
    Q_EMIT colorClicked(index.row(), QRect(viewport()->mapToGlobal(swatch.topLeft()), swatch.size()));
}

void GroupsTableView::keyPressEvent(QKeyEvent *event)
{
    if (!isEditing() && QKeySequence(event->keyCombination()) == GroupRowDelegate::colorTagKeys()) {
        openColorTag(currentIndex().row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void GroupsTableView::endEditing()
{
    if (QLineEdit *editor = m_delegate->editor(); editor && state() == QAbstractItemView::EditingState) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void GroupsTableView::makeLabelStartEditing()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    scrollTo(current);
    edit(current);
}

void GroupsTableView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        const QRect swatch = GroupRowDelegate::partRect(visualRect(index), GroupRowDelegate::Part::color);
        if (swatch.adjusted(-3, -3, 3, 3).contains(event->position().toPoint())) {
            emitColorClicked(index);
            return;
        }
    }
    QListView::mousePressEvent(event);
}

void GroupsTableView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return;
    m_controller.beginDrag(ManagerController::Drag::group, index.row());
    auto *drag = new QDrag(this);
    drag->setMimeData(rowDragData(index.row()));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    m_controller.endDrag();
    setIndicator({});
}

GroupsTableView::DropTarget GroupsTableView::dropTargetAt(const QPoint &pos) const
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

void GroupsTableView::setIndicator(const DropTarget &target)
{
    if (target.row == m_indicator.row && target.onRow == m_indicator.onRow)
        return;
    m_indicator = target;
    viewport()->update();
}

void GroupsTableView::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_controller.drag() != ManagerController::Drag::none || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupsTableView::dragMoveEvent(QDragMoveEvent *event)
{
    DropTarget target = dropTargetAt(event->position().toPoint());
    // Groups go between rows, everything else onto a row: the edges of a
    // row count as the row itself for those.
    if (m_controller.drag() != ManagerController::Drag::group) {
        const QModelIndex index = indexAt(event->position().toPoint());
        target = {index.isValid() ? index.row() : -1, true};
    }
    if (m_controller.validateDrop(target.row, target.onRow, event->mimeData())) {
        setIndicator(target);
        event->acceptProposedAction();
    } else {
        setIndicator({});
        event->ignore();
    }
}

void GroupsTableView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setIndicator({});
    QListView::dragLeaveEvent(event);
}

void GroupsTableView::dropEvent(QDropEvent *event)
{
    const DropTarget target = m_indicator;
    setIndicator({});
    if (m_controller.acceptDrop(target.row, target.onRow, event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupsTableView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
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

ItemsTableView::ItemsTableView(ManagerController &controller, QWidget *parent)
    : QListView(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("tblviewItems"));
    setItemDelegate(new ItemRowDelegate(this));
    setUpRows(this);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // The row's painted edit button, for screen readers.
    RowAccessibility::install(this, [this] {
        return QList<RowAction>{
            {LocalizedText("IDS_BR_64"), QKeySequence(Qt::Key_F2), [this](int row) { clickEdit(row); }}};
    });
}

void ItemsTableView::clickEdit(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    setCurrentIndex(model()->index(row, 0));
    Q_EMIT editClicked(row);
}

void ItemsTableView::setEmptyText(const QString &text)
{
    if (text == m_emptyText)
        return;
    m_emptyText = text;
    setAccessibleDescription(text);
    viewport()->update();
}

void ItemsTableView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    if (m_emptyText.isEmpty() || (model() && model()->rowCount() > 0))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}

int ItemsTableView::selectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ItemsTableView::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()
        && ItemRowDelegate::partRect(visualRect(index), ItemRowDelegate::Part::edit)
               .contains(event->position().toPoint())) {
        clickEdit(index.row());
        return;
    }
    QListView::mousePressEvent(event);
}

QMimeData *ItemsTableView::dragData(const Item &item, int row, Qt::DropActions *actions)
{
    QMimeData *data = rowDragData(row);
    // A file item leaves as its file; copying and linking are offered, never
    // moving, so that a file manager cannot take the user's file away.
    Qt::DropActions offered = Qt::CopyAction;
    if (const auto path = ManagerController::filePathOf(item)) {
        data->setUrls({QUrl::fromLocalFile(*path)});
        offered |= Qt::LinkAction;
    }
    if (actions)
        *actions = offered;
    return data;
}

void ItemsTableView::startDrag(Qt::DropActions)
{
    const int row = selectedRow();
    const auto item = m_controller.shownItem(row);
    if (!item)
        return;
    m_controller.beginDrag(ManagerController::Drag::item, row);
    Qt::DropActions actions;
    auto *drag = new QDrag(this);
    drag->setMimeData(dragData(*item, row, &actions));
    const QIcon icon = model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        drag->setPixmap(icon.pixmap(32, 32));
    drag->exec(actions, Qt::CopyAction);
    m_controller.endDrag();
}
