#include "manager/GroupsDropTarget.h"

#include "items/FileDropArea.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"

#include <QMimeData>

GroupsDropTarget::GroupsDropTarget(ManagerGroups &groups, ManagerItems &items)
    : m_groups(groups)
    , m_items(items)
{
}

void GroupsDropTarget::beginDrag(Drag drag, int draggedIndex)
{
    m_drag = drag;
    m_draggedIndex = draggedIndex;
}

bool GroupsDropTarget::validateDrop(int row, bool onRow, const QMimeData *data) const
{
    const int count = m_groups.groupCount();
    switch (m_drag) {
    case Drag::item:
        return onRow && row >= 0 && row < count && row != m_groups.selectedRow();
    case Drag::group:
        return !onRow && row >= 0 && row <= count;
    case Drag::none:
        break;
    }
    return onRow && row >= 0 && row < count && data && FileDropArea::droppedFiles(data).has_value();
}

bool GroupsDropTarget::acceptDrop(int row, bool onRow, const QMimeData *data)
{
    if (!validateDrop(row, onRow, data))
        return false;
    switch (m_drag) {
    case Drag::item:
        return m_items.moveItemToGroup(m_draggedIndex, row);
    case Drag::group:
        m_groups.moveGroup(m_draggedIndex, row);
        return true;
    case Drag::none:
        break;
    }
    const auto paths = FileDropArea::droppedFiles(data);
    m_groups.selectGroup(row);
    return m_items.addDroppedFiles(*paths).has_value();
}
