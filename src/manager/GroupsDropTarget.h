#pragma once

class ManagerGroups;
class ManagerItems;
class QMimeData;

// The groups table as the manager page's one drop target: a group row
// dragged between rows reorders the groups, an item row dropped on a group
// row moves the item there, and files dropped on a group row are added to
// that group. Knows what the page itself is dragging.
class GroupsDropTarget final
{
public:
    GroupsDropTarget(ManagerGroups &groups, ManagerItems &items);

    enum class Drag { none, group, item };
    // A drag of the group or item at draggedIndex starts on the page.
    void beginDrag(Drag drag, int draggedIndex);
    void endDrag() { m_drag = Drag::none; }
    Drag drag() const { return m_drag; }
    int draggedIndex() const { return m_draggedIndex; }

    // Whether a drop on row (onRow) or above it (between rows) is taken.
    bool validateDrop(int row, bool onRow, const QMimeData *data) const;
    // Performs the drop; false when nothing changed.
    bool acceptDrop(int row, bool onRow, const QMimeData *data);

private:
    ManagerGroups &m_groups;
    ManagerItems &m_items;
    Drag m_drag = Drag::none;
    int m_draggedIndex = 0;
};
