#include "quicklist/PopupDropTarget.h"

#include "quicklist/QuickList.h"
#include "quicklist/QuickListView.h"

#include <QDropEvent>
#include <QMimeData>

PopupDropTarget::PopupDropTarget(QuickListView &view, const QuickList &quickList, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_viewport(view.viewport())
    , m_quickList(quickList)
{
    m_view.setAcceptDrops(true);
    m_viewport->installEventFilter(this);
}

bool PopupDropTarget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const QPoint at = drag->position().toPoint();
        if (targetGroup(at, drag->mimeData())) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            highlightGroupAt(at);
        } else {
            drag->ignore();
            m_view.setHoverRow(-1);
        }
        return true;
    }
    case QEvent::DragLeave:
        m_view.setHoverRow(-1);
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        m_view.setHoverRow(-1);
        const auto group = targetGroup(drop->position().toPoint(), drop->mimeData());
        if (group && m_handler.add(*group, *drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return false;
    }
}

std::optional<QString> PopupDropTarget::targetGroup(const QPoint &pos, const QMimeData *data) const
{
    if (!data || !m_handler.accepts || !m_handler.add || !m_handler.accepts(*data))
        return std::nullopt;
    const auto group = m_quickList.groupOfRow(m_view.indexAt(pos).row());
    return group ? std::optional(group->title()) : std::nullopt;
}

void PopupDropTarget::highlightGroupAt(const QPoint &pos)
{
    const int row = m_view.indexAt(pos).row();
    // In the grouped list the group's heading stands for the whole group.
    int heading = row;
    while (heading > 0 && !m_quickList.isHeadingRow(heading) && !m_quickList.searchBegin())
        --heading;
    m_view.setHoverRow(m_quickList.searchBegin() ? row : heading);
}
